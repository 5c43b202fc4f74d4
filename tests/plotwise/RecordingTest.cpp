#include "PlotwiseTestSupport.h"

#include <string>

using namespace plotwise_test;

namespace {

class RecordingTest : public PlotwiseTest {
protected:
    std::string Record(const std::function<void(HDC)>& draw)
    {
        environment.Set("PLOTWISE_OUTPUT", Path("job.txt"));
        JobResult result = RunJob(draw);
        EXPECT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
        EXPECT_EQ(result.Errors, "");
        return ReadFile(Path("job.txt"));
    }
};

TEST_F(RecordingTest, TextsAreEscapedAsDocumented)
{
    const std::pair<std::u16string, const char*> rows[] = {
        { u"say \"hi\"", "\"say \\\"hi\\\"\"" },
        { u"back\\slash", "\"back\\\\slash\"" },
        { u"tab\there", "\"tab\\u0009here\"" },
        { u"\u007F", "\"\\u007F\"" },
        { u"Größe", "\"Größe\"" }, // as UTF-8
        { u"\U0001D400", "\"\xF0\x9D\x90\x80\"" },
        { std::u16string(1, char16_t(0xD800)) + u"x", "\"\\uD800x\"" },
    };
    for (const auto& [text, recorded] : rows) {
        std::string recording = Record([&](HDC dc) { TextOut(dc, MakeLogFont(u"Liberation Sans", -50), 0, 0, text); });
        EXPECT_NE(recording.find(std::string(" text=") + recorded + "\n"), std::string::npos) << recording;
    }
}

TEST_F(RecordingTest, TextIsRecordedWithTheStateItUses)
{
    std::string recording = Record([](HDC dc) {
        {
            // State is written only when text uses a new value.
            SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -40));
            EXPECT_EQ(PLW_SetBkMode(dc, TRANSPARENT), OPAQUE);
            EXPECT_EQ(PLW_SetTextColor(dc, PLW_RGB(255, 0, 0)), PLW_RGB(0, 0, 0));
            EXPECT_EQ(PLW_SetTextColor(dc, PLW_RGB(0, 0, 255)), PLW_RGB(255, 0, 0));
            EXPECT_EQ(PLW_SetBkColor(dc, PLW_RGB(1, 2, 3)), PLW_RGB(255, 255, 255));
            TextOut(dc, 10, 20, u"blue");
            TextOut(dc, 10, 70, u"still blue");
            PLW_SetTextColor(dc, PLW_RGB(0, 0, 0));
            PLW_SetBkMode(dc, OPAQUE);
            TextOut(dc, 10, 120, u"black on grey");
        }
        SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -40, FW_BOLD));
        RECT cell { 100, 200, 400, 260 };
        const int32_t dx[] = { 20, 21, 22 };
        PLW_ExtTextOut(dc, 105, 205, ETO_OPAQUE | ETO_CLIPPED, &cell, u"abc", 3, nullptr);
        PLW_ExtTextOut(dc, 105, 305, 0, nullptr, u"abc", 3, dx);
        // An opaque rectangle with no text still paints; no text and no
        // rectangle draws nothing and is not recorded.
        PLW_ExtTextOut(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
        PLW_ExtTextOut(dc, 0, 0, 0, nullptr, nullptr, 0, nullptr);
    });
    EXPECT_EQ(recording,
        "StartPage 1\n"
        "SelectFont \"Liberation Sans\" height=-40 weight=400 italic=0 underline=0 strike=0 charset=0\n"
        "SetTextColor 0x00FF0000\n"
        "SetBkMode 1\n"
        "SetBkColor 0x00030201\n"
        "ExtTextOut x=10 y=20 options=0 text=\"blue\"\n"
        "ExtTextOut x=10 y=70 options=0 text=\"still blue\"\n"
        "SetTextColor 0x00000000\n"
        "SetBkMode 2\n"
        "ExtTextOut x=10 y=120 options=0 text=\"black on grey\"\n"
        "SelectFont \"Liberation Sans\" height=-40 weight=700 italic=0 underline=0 strike=0 charset=0\n"
        "ExtTextOut x=105 y=205 options=6 rect=(100,200,400,260) text=\"abc\"\n"
        "ExtTextOut x=105 y=305 options=0 dx=(20,21,22) text=\"abc\"\n"
        "ExtTextOut x=0 y=0 options=2 rect=(100,200,400,260) text=\"\"\n"
        "EndPage\n");
}

TEST_F(RecordingTest, ShapesCarryTheirPenAndBrushAndPicturesTheirGoalSize)
{
    environment.Set("PLOTWISE_DPI", "300");
    std::string recording = Record([](HDC dc) {
        PLW_Rectangle(dc, 10, 10, 100, 100);
        LOGPEN logical { PS_SOLID, { 3, 0 }, PLW_RGB(0, 0, 255) };
        HPEN pen = PLW_CreatePenIndirect(&logical);
        HBRUSH brush = PLW_CreateSolidBrush(PLW_RGB(255, 255, 0));
        HGDIOBJ oldPen = PLW_SelectObject(dc, pen);
        HGDIOBJ oldBrush = PLW_SelectObject(dc, brush);
        PLW_Rectangle(dc, 20, 30, 40, 50);
        POINT line[] = { { 0, 500 }, { 1000, 500 } };
        PLW_Polyline(dc, line, 2);
        PLW_SelectObject(dc, PLW_GetStockObject(NULL_PEN));
        PLW_SelectObject(dc, PLW_GetStockObject(NULL_BRUSH));
        PLW_Rectangle(dc, 1, 2, 3, 4);
        PLW_SelectObject(dc, PLW_GetStockObject(WHITE_PEN));
        PLW_SelectObject(dc, PLW_GetStockObject(BLACK_BRUSH));
        POINT zigzag[] = { { 0, 0 }, { 10, 10 }, { 20, 0 } };
        PLW_Polyline(dc, zigzag, 3);
        PLW_Rectangle(dc, 5, 6, 7, 8);
        // A polyline needs two points.
        EXPECT_EQ(PLW_Polyline(dc, zigzag, 1), 0);
        EXPECT_EQ(PLW_Polyline(dc, nullptr, 2), 0);
        PLW_SelectObject(dc, oldPen);
        PLW_SelectObject(dc, oldBrush);
        PLW_DeleteObject(pen);
        PLW_DeleteObject(brush);
        const uint8_t bytes[4] = { 1, 2, 3, 4 };
        PLW_PICTURE picture = PictureOf(bytes, 4, 1440, 720);
        picture.ScaleX = 50;
        PLW_DrawPictIndirect(dc, &picture, 100, 200);
        // A record without data draws nothing.
        picture.Data = nullptr;
        EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 0, 0), 0);
        EXPECT_EQ(PLW_DrawPictIndirect(dc, nullptr, 0, 0), 0);
    });
    EXPECT_EQ(recording,
        "StartPage 1\n"
        "Rectangle 10 10 100 100 pen=solid,1,0x00000000 brush=0x00FFFFFF\n"
        "Rectangle 20 30 40 50 pen=solid,3,0x00FF0000 brush=0x0000FFFF\n"
        "Polyline 2 (0,500) (1000,500) pen=solid,3,0x00FF0000\n"
        "Rectangle 1 2 3 4 pen=null brush=null\n"
        "Polyline 3 (0,0) (10,10) (20,0) pen=solid,1,0x00FFFFFF\n"
        "Rectangle 5 6 7 8 pen=solid,1,0x00FFFFFF brush=0x00000000\n"
        "DrawPict x=100 y=200 w=150 h=150 type=0 bytes=4\n"
        "EndPage\n");
}

TEST_F(RecordingTest, APageThatReceivedNothingIsNotEmitted)
{
    std::string recording = Record([](HDC dc) {
        PLW_SetTextColor(dc, PLW_RGB(9, 9, 9));
        PLW_EndPage(dc);
        PLW_StartPage(dc);
        SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -40));
        TextOut(dc, 1, 2, u"one");
        PLW_EndPage(dc);
        PLW_StartPage(dc);
        PLW_EndPage(dc);
        PLW_StartPage(dc);
        TextOut(dc, 3, 4, u"two");
    });
    EXPECT_EQ(recording,
        "StartPage 1\n"
        "SelectFont \"Liberation Sans\" height=-40 weight=400 italic=0 underline=0 strike=0 charset=0\n"
        "SetTextColor 0x00090909\n"
        "ExtTextOut x=1 y=2 options=0 text=\"one\"\n"
        "EndPage\n"
        "StartPage 2\n"
        "SelectFont \"Liberation Sans\" height=-40 weight=400 italic=0 underline=0 strike=0 charset=0\n"
        "SetTextColor 0x00090909\n"
        "ExtTextOut x=3 y=4 options=0 text=\"two\"\n"
        "EndPage\n");
    // A job that drew nothing records one blank page.
    EXPECT_EQ(Record([](HDC) {}), "StartPage 1\nEndPage\n");
}

} // namespace
