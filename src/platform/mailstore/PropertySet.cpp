#include "PropertySet.h"

#include "MapiMemory.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace platform {

namespace {

// The ICU name of the locale the user sorts by (LC_ALL, LC_COLLATE, LANG):
// "de_DE.UTF-8@euro" is "de_DE"; "C", "POSIX" or none is the root order.
std::string CollationLocale()
{
    for (const char* variable : { "LC_ALL", "LC_COLLATE", "LANG" }) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0')
            continue;
        std::string name(value);
        name = name.substr(0, name.find_first_of(".@"));
        return name == "C" || name == "POSIX" ? std::string() : name;
    }
    return {};
}

struct CollatorClose {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

std::unique_ptr<UCollator, CollatorClose>& TextCollator()
{
    static std::unique_ptr<UCollator, CollatorClose> collator;
    return collator;
}

// Texts compare by the locale's collation without regard to case (accents
// still count); without a collator, by code points without regard to case.
int CompareTexts(const std::u16string& first, const std::u16string& second)
{
    auto& collator = TextCollator();
    if (!collator) {
        UErrorCode status = U_ZERO_ERROR;
        collator.reset(ucol_open(CollationLocale().c_str(), &status));
        if (U_FAILURE(status))
            collator.reset();
        else
            ucol_setStrength(collator.get(), UCOL_SECONDARY);
    }
    const auto* a = reinterpret_cast<const UChar*>(first.data());
    const auto* b = reinterpret_cast<const UChar*>(second.data());
    const auto aLength = static_cast<int32_t>(first.size());
    const auto bLength = static_cast<int32_t>(second.size());
    int order = 0;
    if (collator) {
        order = ucol_strcoll(collator.get(), a, aLength, b, bLength);
    } else {
        UErrorCode status = U_ZERO_ERROR;
        order = u_strCaseCompare(a, aLength, b, bLength, U_FOLD_CASE_DEFAULT, &status);
    }
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool TypeMatches(ULONG tag, const PropertyValue& value)
{
    switch (PROP_TYPE(tag)) {
    case PT_LONG:
        return std::holds_alternative<std::int32_t>(value);
    case PT_BOOLEAN:
        return std::holds_alternative<bool>(value);
    case PT_SYSTIME:
        return std::holds_alternative<FILETIME>(value);
    case PT_UNICODE:
        return std::holds_alternative<std::u16string>(value);
    case PT_BINARY:
        return std::holds_alternative<std::vector<std::uint8_t>>(value);
    default:
        return false;
    }
}

HRESULT CopyValue(const PropertyValue& value, void* root, SPropValue& target)
{
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        target.Value.l = *number;
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        target.Value.b = *flag ? 1 : 0;
    } else if (const auto* time = std::get_if<FILETIME>(&value)) {
        target.Value.ft = *time;
    } else if (const auto* text = std::get_if<std::u16string>(&value)) {
        if (text->size() >= std::numeric_limits<ULONG>::max() / 2 - 1) {
            return MAPI_E_NOT_ENOUGH_MEMORY;
        }
        void* block = nullptr;
        HRESULT result = MAPIAllocateMore(static_cast<ULONG>((text->size() + 1) * sizeof(char16_t)), root, &block);
        if (Failed(result)) {
            return result;
        }
        std::memcpy(block, text->data(), text->size() * sizeof(char16_t));
        target.Value.lpszW = static_cast<char16_t*>(block);
    } else if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        if (bytes->size() >= std::numeric_limits<ULONG>::max()) {
            return MAPI_E_NOT_ENOUGH_MEMORY;
        }
        void* block = nullptr;
        HRESULT result = MAPIAllocateMore(static_cast<ULONG>(bytes->size() + 1), root, &block);
        if (Failed(result)) {
            return result;
        }
        if (!bytes->empty()) {
            std::memcpy(block, bytes->data(), bytes->size());
        }
        target.Value.bin.cb = static_cast<ULONG>(bytes->size());
        target.Value.bin.lpb = static_cast<std::uint8_t*>(block);
    }
    return S_OK;
}

} // namespace

void PropertySet::Set(ULONG tag, PropertyValue value)
{
    for (auto& entry : values_) {
        if (entry.first == tag) {
            entry.second = std::move(value);
            return;
        }
    }
    values_.emplace_back(tag, std::move(value));
}

const PropertyValue* PropertySet::Find(ULONG tag) const
{
    for (const auto& entry : values_) {
        if (entry.first == tag) {
            return TypeMatches(tag, entry.second) ? &entry.second : nullptr;
        }
    }
    return nullptr;
}

HRESULT CopyPropsToBuffer(const PropertySet& source, std::span<const ULONG> tags, ULONG* count, SPropValue** values)
{
    if (count == nullptr || values == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *count = 0;
    *values = nullptr;
    if (tags.size() > std::numeric_limits<ULONG>::max() / sizeof(SPropValue)) {
        return MAPI_E_INVALID_PARAMETER;
    }
    void* block = nullptr;
    HRESULT result = MAPIAllocateBuffer(static_cast<ULONG>(tags.size() * sizeof(SPropValue)), &block);
    if (Failed(result)) {
        return result;
    }
    auto* props = static_cast<SPropValue*>(block);
    bool anyMissing = false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const PropertyValue* value = source.Find(tags[i]);
        if (value == nullptr) {
            anyMissing = true;
            props[i].ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tags[i]));
            props[i].Value.err = MAPI_E_NOT_FOUND;
            continue;
        }
        props[i].ulPropTag = tags[i];
        result = CopyValue(*value, block, props[i]);
        if (Failed(result)) {
            MAPIFreeBuffer(block);
            return result;
        }
    }
    *count = static_cast<ULONG>(tags.size());
    *values = props;
    return anyMissing ? MAPI_W_ERRORS_RETURNED : S_OK;
}

void ResetTextCollation()
{
    TextCollator().reset();
}

int ComparePropertyValues(const PropertyValue* first, const PropertyValue* second)
{
    if (first == nullptr || second == nullptr) {
        return (first != nullptr) - (second != nullptr);
    }
    if (first->index() != second->index()) {
        return first->index() < second->index() ? -1 : 1;
    }
    if (const auto* text = std::get_if<std::u16string>(first))
        return CompareTexts(*text, std::get<std::u16string>(*second));
    if (const auto* time = std::get_if<FILETIME>(first)) {
        const std::uint64_t a = FileTimeTicks(*time);
        const std::uint64_t b = FileTimeTicks(std::get<FILETIME>(*second));
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    if (const auto* number = std::get_if<std::int32_t>(first)) {
        const std::int32_t other = std::get<std::int32_t>(*second);
        return *number < other ? -1 : (*number > other ? 1 : 0);
    }
    if (const auto* flag = std::get_if<bool>(first)) {
        return static_cast<int>(*flag) - static_cast<int>(std::get<bool>(*second));
    }
    const auto& a = std::get<std::vector<std::uint8_t>>(*first);
    const auto& b = std::get<std::vector<std::uint8_t>>(*second);
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace platform
