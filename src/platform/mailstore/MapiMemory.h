#pragma once

// The messaging layer's own heap. Every block is zero-filled. A block made
// with MAPIAllocateMore belongs to its parent and is freed with it; only a
// block from MAPIAllocateBuffer may be given to MAPIFreeBuffer.

#include "MapiTypes.h"

#include <cstddef>

namespace platform {

HRESULT MAPIAllocateBuffer(ULONG size, void** buffer);
HRESULT MAPIAllocateMore(ULONG size, void* parent, void** buffer);
// Frees a parent block and all blocks allocated under it. Null is allowed.
HRESULT MAPIFreeBuffer(void* buffer);

// Frees a row block from IMAPITable::QueryRows: each row's values, then the
// block itself.
void FreeProws(SRowSet* rows);

// Number of parent blocks currently allocated; tests use it to find leaks.
std::size_t MapiLiveBufferCount();

} // namespace platform
