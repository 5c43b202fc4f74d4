#include "PlotwiseTestSupport.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

using namespace plotwise_test;

namespace {

// A 4 x 4 bitmap, 24 bits per dot, one inch square: green and white
// quarters on top, blue and red below (rows are stored bottom first).
// clang-format off
const uint8_t kBitmap[] = {
    40, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 24, 0, // size, width, height, planes, bits
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // no compression, no palette
    255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, // blue, blue, red, red
    255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255,
    0, 255, 0, 0, 255, 0, 255, 255, 255, 255, 255, 255, // green, green, white, white
    0, 255, 0, 0, 255, 0, 255, 255, 255, 255, 255, 255,
};
// clang-format on

// Everything the display list holds: text in several faces, sizes and
// scripts (the Japanese comes from a fallback face with CFF outlines),
// real styles and a synthetic italic (the Japanese face has none), underline and strike-out, an opaque
// background, clipped text, filled and outlined rectangles, a thick
// polyline and a picture.
void DrawScene(HDC dc)
{
    {
        SelectedFont font(dc, MakeLogFont(u"Liberation Serif", -40));
        TextOut(dc, 50, 50, u"Plain serif words");
    }
    {
        SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -60, FW_BOLD));
        TextOut(dc, 50, 110, u"Größe Ελληνικά Пристань");
    }
    {
        LOGFONTW request = MakeLogFont(u"Liberation Serif", -40);
        request.lfItalic = 1;
        request.lfUnderline = 1;
        request.lfStrikeOut = 1;
        SelectedFont font(dc, request);
        TextOut(dc, 50, 190, u"Underlined and struck 港");
    }
    {
        SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -50));
        TextOut(dc, 50, 250, u"Harbour 港の港 harbour");
        // Spaced out by the caller, as justified text is.
        const std::u16string spaced = u"wide";
        const int32_t dx[] = { 60, 60, 60, 60 };
        PLW_ExtTextOut(dc, 500, 50, 0, nullptr, spaced.data(), 4, dx);
        PLW_SetBkMode(dc, OPAQUE);
        PLW_SetBkColor(dc, PLW_RGB(255, 255, 0));
        TextOut(dc, 50, 320, u"MMMM");
        PLW_SetBkMode(dc, TRANSPARENT);
        RECT cell { 500, 320, 520, 370 };
        PLW_ExtTextOut(dc, 500, 320, ETO_CLIPPED, &cell, u"MMMMMMMM", 8, nullptr);
        // The same without ETO_CLIPPED draws beyond its cell.
        RECT unclipped { 660, 320, 680, 370 };
        PLW_ExtTextOut(dc, 660, 320, 0, &unclipped, u"MMMMMMMM", 8, nullptr);
    }
    HBRUSH red = PLW_CreateSolidBrush(PLW_RGB(255, 0, 0));
    PLW_SelectObject(dc, PLW_GetStockObject(NULL_PEN));
    PLW_SelectObject(dc, red);
    PLW_Rectangle(dc, 10, 400, 30, 420);
    PLW_SelectObject(dc, PLW_GetStockObject(WHITE_BRUSH));
    PLW_DeleteObject(red);
    LOGPEN green { PS_SOLID, { 1, 0 }, PLW_RGB(0, 255, 0) };
    HPEN pen = PLW_CreatePenIndirect(&green);
    PLW_SelectObject(dc, pen);
    PLW_SelectObject(dc, PLW_GetStockObject(NULL_BRUSH));
    PLW_Rectangle(dc, 300, 400, 310, 410);
    LOGPEN thick { PS_SOLID, { 6, 0 }, PLW_RGB(0, 0, 255) };
    HPEN thickPen = PLW_CreatePenIndirect(&thick);
    PLW_SelectObject(dc, thickPen);
    const POINT points[] = { { 400, 400 }, { 500, 450 }, { 600, 400 } };
    PLW_Polyline(dc, points, 3);
    PLW_SelectObject(dc, PLW_GetStockObject(BLACK_PEN));
    PLW_DeleteObject(pen);
    PLW_DeleteObject(thickPen);
    PLW_PICTURE picture {};
    picture.GoalWidth = 1440;
    picture.GoalHeight = 1440;
    picture.DataSize = sizeof kBitmap;
    picture.Data = kBitmap;
    EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 100, 450), 1);
}

struct Surface {
    explicit Surface(const std::string& png)
        : Image(cairo_image_surface_create_from_png(png.c_str()))
    {
    }
    ~Surface() { cairo_surface_destroy(Image); }
    bool Valid() const { return cairo_surface_status(Image) == CAIRO_STATUS_SUCCESS; }
    int Width() const { return cairo_image_surface_get_width(Image); }
    int Height() const { return cairo_image_surface_get_height(Image); }
    uint32_t At(int x, int y) const
    {
        const unsigned char* row = cairo_image_surface_get_data(Image) + y * cairo_image_surface_get_stride(Image);
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }
    cairo_surface_t* Image;
};

int Difference(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift : { 0, 8, 16 })
        largest = std::max(
            largest, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return largest;
}

class PdfOutputTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        environment.Set("PLOTWISE_DPI", "100");
        environment.Set("PLOTWISE_PAPER", "letter");
    }

    std::string PrintScene(const std::string& name)
    {
        environment.Set("PLOTWISE_OUTPUT", Path(name));
        JobResult result = RunJob(DrawScene);
        EXPECT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
        return Path(name);
    }
};

// The PDF, rendered by another program, shows what the library's own
// renderer draws: the same dots are inked, in the same colours, except
// where two anti-aliasing rasterisers differ along the edges of shapes.
TEST_F(PdfOutputTest, PdfShowsWhatTheRendererDraws)
{
    std::string pdf = PrintScene("scene.pdf");
    PrintScene("scene.png");
    ASSERT_EQ(std::system(("pdftoppm -r 100 -png -singlefile '" + pdf + "' '" + Path("poppler") + "'").c_str()), 0);
    Surface ours(Path("scene-1.png"));
    Surface theirs(Path("poppler.png"));
    ASSERT_TRUE(ours.Valid());
    ASSERT_TRUE(theirs.Valid());
    ASSERT_EQ(ours.Width(), theirs.Width());
    ASSERT_EQ(ours.Height(), theirs.Height());

    // Bands of the page, each to agree on its own: a glyph drawn from the
    // wrong glyph number or a shifted line would spoil its band.
    struct Band {
        const char* What;
        int Top;
        int Bottom;
    };
    const Band bands[] = {
        { "serif line and spaced text", 40, 105 },
        { "bold line in three scripts", 105, 185 },
        { "italic, underline, strike-out", 185, 245 },
        { "Japanese from a fallback face", 245, 315 },
        { "opaque and clipped text", 315, 395 },
        { "shapes and picture", 395, 600 },
    };
    for (const Band& band : bands) {
        int inked = 0;
        int disagreeing = 0;
        for (int y = band.Top; y < band.Bottom; ++y) {
            for (int x = 0; x < ours.Width(); ++x) {
                uint32_t a = ours.At(x, y);
                uint32_t b = theirs.At(x, y);
                if (a != 0xFFFFFF || b != 0xFFFFFF)
                    ++inked;
                if (Difference(a, b) > 160)
                    ++disagreeing;
            }
        }
        EXPECT_GT(inked, 200) << band.What;
        EXPECT_LT(disagreeing * 100, inked * 8) << band.What << ": " << disagreeing << " of " << inked;
    }
    struct Dot {
        int X;
        int Y;
        uint32_t Colour;
    };
    const Dot dots[] = {
        { 10, 400, 0xFF0000 },
        { 300, 405, 0x00FF00 },
        { 125, 475, 0x00FF00 }, // the picture's top left dot, drawn upright
        { 125, 525, 0x0000FF },
        { 175, 525, 0xFF0000 },
        { 51, 321, 0xFFFF00 }, // opaque background above the letters
        { 450, 425, 0x0000FF },
    };
    for (const Dot& dot : dots) {
        EXPECT_LE(Difference(theirs.At(dot.X, dot.Y), dot.Colour), 8)
            << dot.X << "," << dot.Y << " is " << std::hex << theirs.At(dot.X, dot.Y);
    }
    // The library's own renderer puts shapes, pictures and text cells on
    // exactly their dots: a one-dot outline has its left and top edge dots
    // and those just inside its right and bottom edges.
    const Dot exact[] = {
        { 9, 399, 0xFFFFFF },
        { 10, 400, 0xFF0000 },
        { 29, 419, 0xFF0000 },
        { 30, 420, 0xFFFFFF },
        { 100, 450, 0x00FF00 },
        { 199, 549, 0xFF0000 },
        { 200, 550, 0xFFFFFF },
        { 300, 405, 0x00FF00 },
        { 309, 405, 0x00FF00 },
        { 305, 405, 0xFFFFFF },
        { 299, 405, 0xFFFFFF },
        { 51, 321, 0xFFFF00 }, // an opaque background fills the whole cell
        { 49, 321, 0xFFFFFF },
    };
    for (const Dot& dot : exact)
        EXPECT_EQ(ours.At(dot.X, dot.Y), dot.Colour) << dot.X << "," << dot.Y;
    // Nothing of the clipped text beyond its cell; the unclipped text does go on.
    int unclipped = 0;
    for (int y = 315; y < 380; ++y) {
        for (int x = 522; x < 650; ++x) {
            ASSERT_EQ(theirs.At(x, y), 0xFFFFFFu) << x << "," << y;
            ASSERT_EQ(ours.At(x, y), 0xFFFFFFu) << x << "," << y;
        }
        for (int x = 682; x < ours.Width(); ++x)
            unclipped += ours.At(x, y) != 0xFFFFFF;
    }
    EXPECT_GT(unclipped, 100);
}

TEST_F(PdfOutputTest, TextCanBeSearchedAndEveryFontIsEmbedded)
{
    std::string pdf = PrintScene("scene.pdf");
    std::string text = RunCommand("pdftotext '" + pdf + "' - 2>&1");
    for (const char* expected : { "Plain serif words", "Größe Ελληνικά Пристань", "Underlined and struck 港",
             "Harbour 港の港 harbour", "MMMM" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    std::string fonts = RunCommand("pdffonts '" + pdf + "' 2>&1");
    std::istringstream lines(fonts);
    std::string line;
    int listed = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line.starts_with("name") || line.starts_with("---"))
            continue;
        ++listed;
        EXPECT_NE(line.find("Identity-H       yes yes yes"), std::string::npos) << line;
    }
    EXPECT_GE(listed, 4) << fonts;
    // A reader that had to repair the file would say so.
    EXPECT_EQ(RunCommand("pdfinfo '" + pdf + "' 2>&1 >/dev/null"), "");
}

} // namespace
