#pragma once

// A table over rows of property sets: the stores, folder and contents
// tables, and a message's recipients and attachments. Rows may be produced
// late by a loader that is told which properties the columns and the sort
// need, so a contents table reads no more of each message than that.

#include "MapiInterfaces.h"
#include "PropertySet.h"

#include <functional>
#include <vector>

namespace platform {

using RowLoader = std::function<HRESULT(std::span<const ULONG> neededTags, std::vector<PropertySet>* rows)>;

class PropertyTable final : public IMAPITable {
public:
    PropertyTable(std::vector<ULONG> defaultColumns, std::vector<PropertySet> rows);
    PropertyTable(std::vector<ULONG> defaultColumns, RowLoader loader);

    HRESULT SetColumns(std::span<const ULONG> tags, ULONG flags) override;
    HRESULT SortTable(std::span<const SSortOrder> sortOrder, ULONG flags) override;
    HRESULT QueryRows(std::int32_t rowCount, ULONG flags, SRowSet** rows) override;

private:
    HRESULT EnsureRows();
    bool Covers(std::span<const ULONG> tags) const;

    std::vector<ULONG> columns_;
    std::vector<SSortOrder> sortOrder_;
    RowLoader loader_;
    std::vector<PropertySet> rows_;
    std::vector<ULONG> loadedTags_;
    bool loaded_ = false;
    bool sorted_ = true;
    std::size_t cursor_ = 0;
};

} // namespace platform
