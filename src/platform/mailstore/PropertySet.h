#pragma once

// Property values as the store keeps them before they are handed out in
// MAPI buffers, and the copy into those buffers.

#include "MapiTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

using PropertyValue = std::variant<std::int32_t, bool, FILETIME, std::u16string, std::vector<std::uint8_t>>;

class PropertySet {
public:
    void Set(ULONG tag, PropertyValue value);
    // The value stored under exactly this tag, or null.
    const PropertyValue* Find(ULONG tag) const;

private:
    std::vector<std::pair<ULONG, PropertyValue>> values_;
};

// Copies the values named by `tags` into one new MAPI buffer (strings and
// binaries allocated under it). Missing values get the error type. Returns
// S_OK, MAPI_W_ERRORS_RETURNED when some were missing, or a failure.
HRESULT CopyPropsToBuffer(const PropertySet& source, std::span<const ULONG> tags, ULONG* count, SPropValue** values);

// Three-way comparison used by table sorting: absent values first, strings
// by the collation of the user's locale (LC_COLLATE) without regard to
// case, times and numbers by value.
int ComparePropertyValues(const PropertyValue* first, const PropertyValue* second);

// Forgets the collator, so that the next comparison of texts reads the
// locale again.
void ResetTextCollation();

} // namespace platform
