#include "MapiMemory.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MapiMemory, BlocksAreZeroFilledAndChildrenFreeWithTheirParent)
{
    const std::size_t before = MapiLiveBufferCount();
    void* parent = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(64, &parent), S_OK);
    const auto* bytes = static_cast<const unsigned char*>(parent);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(bytes[i], 0);
    }
    void* child = nullptr;
    void* second = nullptr;
    ASSERT_EQ(MAPIAllocateMore(32, parent, &child), S_OK);
    ASSERT_EQ(MAPIAllocateMore(0, parent, &second), S_OK);
    EXPECT_NE(child, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(MapiLiveBufferCount(), before + 1);
    // A child is not freed on its own, nor given children of its own.
    void* grandChild = nullptr;
    EXPECT_EQ(MAPIAllocateMore(8, child, &grandChild), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(child), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(parent), S_OK);
    EXPECT_EQ(MapiLiveBufferCount(), before);
}

TEST(MapiMemory, BadArgumentsAreRefused)
{
    void* block = reinterpret_cast<void*>(1);
    EXPECT_EQ(MAPIAllocateMore(8, nullptr, &block), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(block, reinterpret_cast<void*>(1));
    EXPECT_EQ(MAPIAllocateBuffer(8, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(nullptr), S_OK);
    FreeProws(nullptr);
}

} // namespace
} // namespace platform
