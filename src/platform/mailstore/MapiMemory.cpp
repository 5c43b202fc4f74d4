#include "MapiMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace platform {

namespace {

// Every block starts with this header; a parent keeps its children in a
// singly linked list so that one free releases them all.
struct alignas(std::max_align_t) BlockHeader {
    BlockHeader* firstChild;
    BlockHeader* nextSibling;
    bool isChild;
};

std::size_t liveParents = 0;

BlockHeader* HeaderOf(void* buffer)
{
    return static_cast<BlockHeader*>(buffer) - 1;
}

BlockHeader* NewBlock(ULONG size)
{
    void* raw = std::calloc(1, sizeof(BlockHeader) + size);
    return static_cast<BlockHeader*>(raw);
}

} // namespace

HRESULT MAPIAllocateBuffer(ULONG size, void** buffer)
{
    if (buffer == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *buffer = nullptr;
    BlockHeader* block = NewBlock(size);
    if (block == nullptr) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    ++liveParents;
    *buffer = block + 1;
    return S_OK;
}

HRESULT MAPIAllocateMore(ULONG size, void* parent, void** buffer)
{
    if (buffer == nullptr || parent == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *buffer = nullptr;
    BlockHeader* parentBlock = HeaderOf(parent);
    if (parentBlock->isChild) {
        return MAPI_E_INVALID_PARAMETER;
    }
    BlockHeader* block = NewBlock(size);
    if (block == nullptr) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    block->isChild = true;
    block->nextSibling = parentBlock->firstChild;
    parentBlock->firstChild = block;
    *buffer = block + 1;
    return S_OK;
}

HRESULT MAPIFreeBuffer(void* buffer)
{
    if (buffer == nullptr) {
        return S_OK;
    }
    BlockHeader* block = HeaderOf(buffer);
    if (block->isChild) {
        return MAPI_E_INVALID_PARAMETER;
    }
    BlockHeader* child = block->firstChild;
    while (child != nullptr) {
        BlockHeader* next = child->nextSibling;
        std::free(child);
        child = next;
    }
    std::free(block);
    --liveParents;
    return S_OK;
}

void FreeProws(SRowSet* rows)
{
    if (rows == nullptr) {
        return;
    }
    for (ULONG i = 0; i < rows->cRows; ++i) {
        MAPIFreeBuffer(rows->aRow[i].lpProps);
    }
    MAPIFreeBuffer(rows);
}

std::size_t MapiLiveBufferCount()
{
    return liveParents;
}

FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t microseconds)
{
    const std::int64_t since1601 = seconds + static_cast<std::int64_t>(kUnixEpochInFileTimeSeconds);
    if (since1601 < 0) {
        return FILETIME { 0, 0 };
    }
    const std::uint64_t ticks = static_cast<std::uint64_t>(since1601) * kFileTimeTicksPerSecond
        + static_cast<std::uint64_t>(microseconds < 0 ? 0 : microseconds % 1'000'000) * 10;
    return FileTimeFromTicks(ticks);
}

} // namespace platform
