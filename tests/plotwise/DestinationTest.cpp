#include "PlotwiseTestSupport.h"

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace plotwise_test;

namespace {

int PdfPages(const std::string& path)
{
    std::string info = RunCommand("pdfinfo '" + path + "' 2>/dev/null");
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// Draws pages of text; an empty page between them must not appear.
void DrawPages(HDC dc, int pages)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Serif", -40));
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            PLW_EndPage(dc);
            PLW_StartPage(dc);
            PLW_EndPage(dc);
            PLW_StartPage(dc);
        }
        std::u16string text = u"Page number " + std::u16string(1, static_cast<char16_t>(u'0' + page));
        TextOut(dc, 100, 100, text);
        PLW_Rectangle(dc, 50, 50, 400, 200);
    }
}

class DestinationTest : public PlotwiseTest { };

TEST_F(DestinationTest, PdfHasOnePagePerPageThatReceivedSomething)
{
    for (int pages : { 1, 3 }) {
        std::string path = Path("pages-" + std::to_string(pages) + ".pdf");
        environment.Set("PLOTWISE_OUTPUT", path);
        JobResult result = RunJob([&](HDC dc) { DrawPages(dc, pages); });
        ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
        EXPECT_EQ(PdfPages(path), pages);
        std::string text = RunCommand("pdftotext '" + path + "' -");
        EXPECT_NE(text.find("Page number " + std::to_string(pages)), std::string::npos) << text;
    }
}

TEST_F(DestinationTest, AJobThatDrewNothingPrintsOneBlankPage)
{
    environment.Set("PLOTWISE_OUTPUT", Path("nothing.pdf"));
    EXPECT_EQ(RunJob([](HDC) {}).Status, PLW_STATUS_PRINTED);
    EXPECT_EQ(PdfPages(Path("nothing.pdf")), 1);
    // Nothing else is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(DestinationTest, PngWritesOneNumberedFilePerPage)
{
    environment.Set("PLOTWISE_OUTPUT", Path("page.png"));
    environment.Set("PLOTWISE_DPI", "50");
    environment.Set("PLOTWISE_PAPER", "letter");
    JobResult result = RunJob([](HDC dc) { DrawPages(dc, 2); });
    ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    for (const char* name : { "page-1.png", "page-2.png" }) {
        std::string png = ReadFile(Path(name));
        ASSERT_GT(png.size(), 24u) << name;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        // The header's width and height: letter at 50 dots per inch.
        auto word = [&](size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16)
                | (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(word(16), 425);
        EXPECT_EQ(word(20), 550);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("page-3.png")));
    EXPECT_FALSE(std::filesystem::exists(Path("page.png")));
}

// The colour of one dot of a PNG page as 0xRRGGBB.
uint32_t DotAt(cairo_surface_t* page, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(page) + y * cairo_image_surface_get_stride(page);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
}

struct DotRow {
    int X;
    int Y;
    uint32_t Colour;
};

TEST_F(DestinationTest, ShapesAndPicturesLandOnTheirDots)
{
    environment.Set("PLOTWISE_OUTPUT", Path("dots.png"));
    environment.Set("PLOTWISE_DPI", "100");
    JobResult result = RunJob([](HDC dc) {
        HBRUSH red = PLW_CreateSolidBrush(PLW_RGB(255, 0, 0));
        PLW_SelectObject(dc, PLW_GetStockObject(NULL_PEN));
        PLW_SelectObject(dc, red);
        PLW_Rectangle(dc, 10, 10, 20, 20);
        PLW_SelectObject(dc, PLW_GetStockObject(WHITE_BRUSH));
        PLW_DeleteObject(red);
        // A 2 x 2 blue bitmap one inch square.
        const uint8_t bitmap[] = { 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0 };
        PLW_PICTURE picture {};
        picture.GoalWidth = 1440;
        picture.GoalHeight = 1440;
        picture.DataSize = sizeof bitmap;
        picture.Data = bitmap;
        EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 100, 100), 1);
        LOGPEN green { PS_SOLID, { 1, 0 }, PLW_RGB(0, 255, 0) };
        HPEN pen = PLW_CreatePenIndirect(&green);
        PLW_SelectObject(dc, pen);
        PLW_SelectObject(dc, PLW_GetStockObject(NULL_BRUSH));
        PLW_Rectangle(dc, 300, 300, 310, 310);
        PLW_SelectObject(dc, PLW_GetStockObject(BLACK_PEN));
        PLW_DeleteObject(pen);
    });
    ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    cairo_surface_t* page = cairo_image_surface_create_from_png(Path("dots-1.png").c_str());
    ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
    const DotRow rows[] = {
        { 9, 9, 0xFFFFFF },
        { 10, 10, 0xFF0000 },
        { 19, 19, 0xFF0000 },
        { 20, 20, 0xFFFFFF },
        { 99, 99, 0xFFFFFF },
        { 100, 100, 0x0000FF },
        { 150, 150, 0x0000FF },
        { 199, 199, 0x0000FF },
        { 200, 200, 0xFFFFFF },
        // A one-dot outline: the left and top edge dots and those just
        // inside the right and bottom edges; the inside stays white.
        { 300, 305, 0x00FF00 },
        { 305, 300, 0x00FF00 },
        { 309, 305, 0x00FF00 },
        { 305, 309, 0x00FF00 },
        { 305, 305, 0xFFFFFF },
        { 310, 305, 0xFFFFFF },
        { 299, 305, 0xFFFFFF },
    };
    for (const DotRow& row : rows)
        EXPECT_EQ(DotAt(page, row.X, row.Y), row.Colour) << row.X << "," << row.Y;
    cairo_surface_destroy(page);
}

// Counts the dots of a region that are not white.
int InkedDots(cairo_surface_t* page, int left, int top, int right, int bottom)
{
    int inked = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            inked += DotAt(page, x, y) != 0xFFFFFF;
    }
    return inked;
}

TEST_F(DestinationTest, APictureTooLargeForAnyPageIsLeftOutAndTheRestPrints)
{
    std::string path = Path("huge-picture.pdf");
    environment.Set("PLOTWISE_OUTPUT", path);
    JobResult result = RunJob([](HDC dc) {
        const uint8_t bitmap[] = { 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0 };
        PLW_PICTURE picture {};
        picture.GoalWidth = 1440;
        picture.GoalHeight = 50462976;
        picture.DataSize = sizeof bitmap;
        picture.Data = bitmap;
        EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 100, 100), 0);
        TextOut(dc, 600, 600, u"Still printed");
    });
    ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    EXPECT_NE(RunCommand("pdftotext '" + path + "' -").find("Still printed"), std::string::npos);
}

TEST_F(DestinationTest, OpaqueBackgroundsAndClippingCoverTheirDots)
{
    environment.Set("PLOTWISE_OUTPUT", Path("text.png"));
    environment.Set("PLOTWISE_DPI", "100");
    JobResult result = RunJob([](HDC dc) {
        SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -40));
        // Opaque mode fills the whole text cell, even above the letters.
        PLW_SetBkMode(dc, OPAQUE);
        PLW_SetBkColor(dc, PLW_RGB(255, 255, 0));
        TextOut(dc, 100, 100, u"MMMM");
        PLW_SetBkMode(dc, TRANSPARENT);
        // Clipped and unclipped: only the first draws nothing beyond x 520.
        RECT cell { 500, 300, 520, 350 };
        PLW_ExtTextOut(dc, 500, 300, ETO_CLIPPED, &cell, u"MMMMMMMM", 8, nullptr);
        PLW_ExtTextOut(dc, 500, 400, 0, &cell, u"MMMMMMMM", 8, nullptr);
    });
    ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    cairo_surface_t* page = cairo_image_surface_create_from_png(Path("text-1.png").c_str());
    ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(DotAt(page, 101, 101), 0xFFFF00u);
    EXPECT_EQ(DotAt(page, 99, 101), 0xFFFFFFu);
    EXPECT_EQ(InkedDots(page, 521, 295, 700, 360), 0);
    EXPECT_GT(InkedDots(page, 521, 395, 700, 460), 100);
    cairo_surface_destroy(page);
}

TEST_F(DestinationTest, PostScriptIsWritten)
{
    environment.Set("PLOTWISE_OUTPUT", Path("out.ps"));
    JobResult result = RunJob([](HDC dc) { DrawPages(dc, 2); });
    ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    std::string postScript = ReadFile(Path("out.ps"));
    EXPECT_EQ(postScript.substr(0, 4), "%!PS");
    EXPECT_NE(postScript.find("%%Pages: 2"), std::string::npos);
}

TEST_F(DestinationTest, PdfIsReproducibleWithSourceDateEpoch)
{
    environment.Set("SOURCE_DATE_EPOCH", "1700000000");
    std::string bytes[2];
    for (int run = 0; run < 2; ++run) {
        std::string path = Path("run-" + std::to_string(run) + ".pdf");
        environment.Set("PLOTWISE_OUTPUT", path);
        JobResult result = RunJob([](HDC dc) {
            DrawPages(dc, 2);
            SelectedFont font(dc, MakeLogFont(u"Liberation Mono", -30, FW_BOLD));
            TextOut(dc, 100, 400, u"Größe Ελληνικά");
        });
        ASSERT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
        bytes[run] = ReadFile(path);
    }
    ASSERT_FALSE(bytes[0].empty());
    EXPECT_TRUE(bytes[0] == bytes[1]);
    // The creation date is the one of SOURCE_DATE_EPOCH.
    EXPECT_NE(bytes[0].find("20231114221320"), std::string::npos);
}

TEST_F(DestinationTest, TestPageTextCanBeFoundInThePdf)
{
    std::string path = Path("out/testpage.pdf");
    std::filesystem::create_directories(folder / "out");
    environment.Set("PLOTWISE_OUTPUT", path);
    ASSERT_EQ(std::system(PLOTWISE_TESTPAGE), 0);
    EXPECT_EQ(PdfPages(path), 1);
    std::string text = RunCommand("pdftotext '" + path + "' -");
    for (const char* expected : { "Plotwise test page", "Resolution 600 dots per inch", "Liberation Serif 10 pt",
             "Liberation Mono 12 pt", "Bold italic", "Paper 8.27 x 11.69 in" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST_F(DestinationTest, TestPageFailsWithTheLibraryStatus)
{
    environment.Set("PLOTWISE_OUTPUT", Path("missing/testpage.pdf"));
    int status = std::system((std::string(PLOTWISE_TESTPAGE) + " 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), PLW_STATUS_FAILED);
    environment.Set("PLOTWISE_DIALOG", "cancel");
    status = std::system(PLOTWISE_TESTPAGE);
    EXPECT_EQ(WEXITSTATUS(status), PLW_STATUS_CANCELLED);
}

} // namespace
