#include "PropertyTable.h"

#include "MapiMemory.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace platform {

namespace {

// A table answers at most this many rows per call, so a caller asking for
// "all" cannot make one unbounded block.
constexpr std::int32_t kMaxRowsPerQuery = 4096;

} // namespace

PropertyTable::PropertyTable(std::vector<ULONG> defaultColumns, std::vector<PropertySet> rows)
    : columns_(std::move(defaultColumns))
    , rows_(std::move(rows))
    , loaded_(true)
{
}

PropertyTable::PropertyTable(std::vector<ULONG> defaultColumns, RowLoader loader)
    : columns_(std::move(defaultColumns))
    , loader_(std::move(loader))
{
}

bool PropertyTable::Covers(std::span<const ULONG> tags) const
{
    return std::all_of(tags.begin(), tags.end(),
        [&](ULONG tag) { return std::find(loadedTags_.begin(), loadedTags_.end(), tag) != loadedTags_.end(); });
}

HRESULT PropertyTable::EnsureRows()
{
    if (!loader_) {
        loaded_ = true;
    } else {
        std::vector<ULONG> needed = columns_;
        for (const SSortOrder& order : sortOrder_) {
            needed.push_back(order.ulPropTag);
        }
        if (!loaded_ || !Covers(needed)) {
            std::vector<PropertySet> rows;
            HRESULT result = loader_(needed, &rows);
            if (Failed(result)) {
                return result;
            }
            rows_ = std::move(rows);
            loadedTags_ = std::move(needed);
            loaded_ = true;
            sorted_ = false;
            cursor_ = 0;
        }
    }
    if (!sorted_) {
        std::stable_sort(rows_.begin(), rows_.end(), [&](const PropertySet& a, const PropertySet& b) {
            for (const SSortOrder& order : sortOrder_) {
                int c = ComparePropertyValues(a.Find(order.ulPropTag), b.Find(order.ulPropTag));
                if (order.ulOrder == TABLE_SORT_DESCEND) {
                    c = -c;
                }
                if (c != 0) {
                    return c < 0;
                }
            }
            return false;
        });
        sorted_ = true;
    }
    return S_OK;
}

HRESULT PropertyTable::SetColumns(std::span<const ULONG> tags, ULONG flags)
{
    if (tags.empty()) {
        return MAPI_E_INVALID_PARAMETER;
    }
    columns_.assign(tags.begin(), tags.end());
    return S_OK;
}

HRESULT PropertyTable::SortTable(std::span<const SSortOrder> sortOrder, ULONG flags)
{
    for (const SSortOrder& order : sortOrder) {
        if (order.ulOrder != TABLE_SORT_ASCEND && order.ulOrder != TABLE_SORT_DESCEND) {
            return MAPI_E_INVALID_PARAMETER;
        }
    }
    sortOrder_.assign(sortOrder.begin(), sortOrder.end());
    sorted_ = false;
    cursor_ = 0;
    return S_OK;
}

HRESULT PropertyTable::QueryRows(std::int32_t rowCount, ULONG flags, SRowSet** rows)
{
    if (rows == nullptr || rowCount <= 0) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *rows = nullptr;
    HRESULT result = EnsureRows();
    if (Failed(result)) {
        return result;
    }
    const std::size_t remaining = rows_.size() - std::min(cursor_, rows_.size());
    const std::size_t count = std::min<std::size_t>(remaining, std::min(rowCount, kMaxRowsPerQuery));
    void* block = nullptr;
    result = MAPIAllocateBuffer(static_cast<ULONG>(sizeof(SRowSet) + count * sizeof(SRow)), &block);
    if (Failed(result)) {
        return result;
    }
    auto* set = static_cast<SRowSet*>(block);
    for (std::size_t i = 0; i < count; ++i) {
        SRow& row = set->aRow[i];
        HRESULT copied = CopyPropsToBuffer(rows_[cursor_ + i], columns_, &row.cValues, &row.lpProps);
        if (Failed(copied)) {
            FreeProws(set);
            return copied;
        }
        set->cRows = static_cast<ULONG>(i + 1);
    }
    cursor_ += count;
    *rows = set;
    return S_OK;
}

} // namespace platform
