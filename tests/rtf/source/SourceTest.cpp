#include "Source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

class SourceTest : public ::testing::Test {
protected:
    void TearDown() override { rtf::ReleaseSourceData(); }
};

TEST_F(SourceTest, RefusedLengthsHoldNothing)
{
    const std::int32_t rows[] = { -1, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max() - rtf::kSourcePadding + 1, std::numeric_limits<std::int32_t>::max() };
    for (std::int32_t length : rows) {
        ASSERT_TRUE(rtf::AllocateSourceData(3));
        EXPECT_FALSE(rtf::AllocateSourceData(length)) << length;
        EXPECT_EQ(rtf::SourceData, nullptr) << length;
        EXPECT_EQ(rtf::SourceLength, 0) << length;
    }
}

TEST_F(SourceTest, ZeroFilledWithPaddingReadsEveryByteThenReportsTheEndUntilReleased)
{
    ASSERT_TRUE(rtf::AllocateSourceData(3));
    EXPECT_EQ(rtf::SourceLength, 3);
    EXPECT_EQ(rtf::SourcePos, 0);
    for (int i = 0; i < 3 + rtf::kSourcePadding; ++i)
        EXPECT_EQ(rtf::SourceData[i], 0) << i;
    rtf::UngetSourceChar(); // stops at the start
    EXPECT_EQ(rtf::SourcePos, 0);
    std::memcpy(rtf::SourceData, "a\xff", 2);
    EXPECT_EQ(rtf::GetSourceChar(), 'a');
    EXPECT_EQ(rtf::GetSourceChar(), 0xFF);
    EXPECT_EQ(rtf::GetSourceChar(), 0);
    EXPECT_EQ(rtf::GetSourceChar(), -1);
    EXPECT_EQ(rtf::SourcePos, 3);
    rtf::UngetSourceChar();
    EXPECT_EQ(rtf::GetSourceChar(), 0);

    // Release resets everything, and no buffer reads as the end.
    rtf::ReleaseSourceData();
    EXPECT_EQ(rtf::SourceData, nullptr);
    EXPECT_EQ(rtf::SourceLength, 0);
    EXPECT_EQ(rtf::SourcePos, 0);
    EXPECT_EQ(rtf::GetSourceChar(), -1);
    rtf::SourceLength = 4; // a length without a buffer must not be read
    EXPECT_EQ(rtf::GetSourceChar(), -1);
    rtf::SourceLength = 0;
}

} // namespace
