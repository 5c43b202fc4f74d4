// Pictures: the record filled from the picture keywords, binary data, and
// where the picture lands.

#include "RtfFixture.h"

#include <Pictures.h>
#include <PrintJob.h>
#include <SettingsStore.h>

#include <string>
#include <tuple>
#include <vector>

namespace rtf::testing {
namespace {

struct DrawnPicture {
    PLW_PICTURE Fields;
    std::vector<std::uint8_t> Data;
    std::int32_t X;
    std::int32_t Y;
};

std::vector<DrawnPicture>& Pictures()
{
    static std::vector<DrawnPicture> pictures;
    return pictures;
}

int32_t RecordPicture(HDC, const PLW_PICTURE* picture, int32_t x, int32_t y)
{
    Pictures().push_back(
        { *picture, std::vector<std::uint8_t>(picture->Data, picture->Data + picture->DataSize + 2), x, y });
    return 1;
}

class RtfPictureTest : public RtfTest {
protected:
    void SetUp() override
    {
        RtfTest::SetUp();
        Pictures().clear();
        PLW_DrawPictIndirect = RecordPicture;
    }

    static std::string Picture(std::string_view keywords, std::string_view data)
    {
        return "{\\pict" + std::string(keywords) + "\\bin" + std::to_string(data.size()) + " " + std::string(data)
            + "}";
    }
};

TEST_F(RtfPictureTest, KeywordsFillTheRecord)
{
    ASSERT_EQ(Parse("{\\rtf1{\\pict\\dibitmap0\\picw10\\pich20\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley75"
                    "\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes32\\piccropl1\\piccropt2\\piccropr3\\piccropb4"),
        kRtfUnmatchedBrace);
    const auto& record = CurrentPicture();
    ASSERT_TRUE(record.has_value());
    const auto fields = [](const PLW_PICTURE& f) {
        return std::tie(f.Type, f.SourceWidth, f.SourceHeight, f.GoalWidth, f.GoalHeight, f.ScaleX, f.ScaleY,
            f.BitsPerPixel, f.Planes, f.BytesPerRow, f.CropLeft, f.CropTop, f.CropRight, f.CropBottom);
    };
    const PLW_PICTURE expected { 0, 10, 20, 1440, 720, 50, 75, 24, 1, 32, 0, 1, 2, 3, 4, nullptr };
    EXPECT_EQ(fields(record->Fields), fields(expected));
    EXPECT_FALSE(record->HasData);
}

struct PlacementCase {
    const char* Name;
    std::int32_t ResizeChoice;
    std::string_view Alignment;
    std::int32_t GoalWidth; // twips in the document
    std::int32_t RecordWidth;
    std::int32_t X; // from OriginX
};

class RtfPicturePlacementTest : public RtfPictureTest, public ::testing::WithParamInterface<PlacementCase> { };

TEST_P(RtfPicturePlacementTest, PlacesThePicture)
{
    const PlacementCase& row = GetParam();
    core::SetResizeChoice(row.ResizeChoice);
    ASSERT_EQ(Parse("{\\rtf1" + std::string(row.Alignment) + " "
                  + Picture("\\picwgoal" + std::to_string(row.GoalWidth) + "\\pichgoal1440", "DATA") + "}"),
        kRtfOk);
    ASSERT_EQ(Pictures().size(), 1u);
    const DrawnPicture& drawn = Pictures()[0];
    EXPECT_EQ(drawn.Fields.GoalWidth, row.RecordWidth);
    EXPECT_EQ(drawn.X - printengine::Job().OriginX, row.X);
    EXPECT_EQ(drawn.Fields.DataSize, 4);
    EXPECT_EQ(drawn.Data, (std::vector<std::uint8_t> { 'D', 'A', 'T', 'A', 0, 0 }));
    EXPECT_FALSE(CurrentPicture().has_value());
}

// The double's column is 2550 dots at 300 dpi.
INSTANTIATE_TEST_SUITE_P(Rows, RtfPicturePlacementTest,
    ::testing::Values(PlacementCase { "left_at_full_size", core::kResizeChoice100, "\\ql", 1440, 1440, 0 },
        PlacementCase { "half_size", core::kResizeChoice50, "\\ql", 1440, 720, 0 },
        PlacementCase { "centred", core::kResizeChoice100, "\\qc", 1440, 1440, (2550 - 300) / 2 },
        PlacementCase { "right", core::kResizeChoice100, "\\qr", 1440, 1440, 2550 - 300 },
        PlacementCase { "justified_is_left", core::kResizeChoice100, "\\qj", 1440, 1440, 0 }),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RtfPictureTest, RightAfterAParagraphThePenDoesNotMove)
{
    ASSERT_EQ(Parse("{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0 line\\par "
                  + Picture("\\picwgoal1440\\pichgoal1440", "x") + "}"),
        kRtfOk);
    const std::int32_t penY = printengine::Job().PenY;
    ASSERT_EQ(Pictures().size(), 1u);
    EXPECT_EQ(Pictures()[0].Y, printengine::Job().OriginY + penY);
    EXPECT_EQ(printengine::Job().PenX, 300);
}

TEST_F(RtfPictureTest, AfterBlankLinesAsHighAsThePictureItMovesUp)
{
    // A 24-dot picture after blank lines reaching at least its height.
    ASSERT_EQ(Parse("{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0\\fs24 line\\par\\par\\par\\par "
                  + Picture("\\picwgoal115\\pichgoal115", "x") + "}"),
        kRtfOk);
    ASSERT_EQ(Pictures().size(), 1u);
    const std::int32_t height = 24;
    EXPECT_EQ(Pictures()[0].Y, printengine::Job().OriginY + printengine::Job().PenY - 2 * height);
}

TEST_F(RtfPictureTest, PictureWithoutBinaryDataDrawsNothingAndKeepsItsValues)
{
    ASSERT_EQ(Parse("{\\rtf1{\\pict\\picwgoal1440 0a0b0c}" + Picture("\\pichgoal720", "z") + "}"), kRtfOk);
    ASSERT_EQ(Pictures().size(), 1u);
    EXPECT_EQ(Pictures()[0].Fields.GoalWidth, 1440);
    EXPECT_EQ(Pictures()[0].Fields.GoalHeight, 720);
}

TEST_F(RtfPictureTest, HugeBinaryCountIsRefusedWithoutAllocating)
{
    EXPECT_EQ(Parse("{\\pict\\bin2000000000 abc}"), kRtfEndOfFile);
    EXPECT_FALSE(CurrentPicture().has_value() && CurrentPicture()->HasData);
}

} // namespace
} // namespace rtf::testing
