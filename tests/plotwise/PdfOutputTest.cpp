#include "PlotwiseTestSupport.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>

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
// scripts in all three kinds of font program (TrueType, the CID-keyed CFF of
// the Japanese fallback face, Nimbus Roman's name-keyed CFF), real styles and
// a synthetic italic (the Japanese face has none), underline and strike-out,
// an opaque background, clipped text, filled and outlined rectangles, a thick
// polyline and a picture.
void DrawScene(HDC dc)
{
    TextOut(dc, MakeLogFont(u"Liberation Serif", -40), 50, 50, u"Plain serif words");
    TextOut(dc, MakeLogFont(u"Liberation Sans", -60, FW_BOLD), 50, 110, u"Größe Ελληνικά Пристань");
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
    // Below the bands the renderer comparison looks at.
    TextOut(dc, MakeLogFont(u"Nimbus Roman", -40), 50, 610, u"Nimbus Roman Ωμέγα Жук");
    const PLW_PICTURE picture = PictureOf(kBitmap, sizeof kBitmap, 1440, 1440);
    EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 100, 450), 1);
}

void DrawTwoPages(HDC dc)
{
    DrawScene(dc);
    PLW_EndPage(dc);
    PLW_StartPage(dc);
    TextOut(dc, MakeLogFont(u"Liberation Sans", -60), 100, 100, u"The second page");
    PLW_Rectangle(dc, 100, 200, 400, 300);
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

struct Dot {
    int X;
    int Y;
    uint32_t Colour;
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
};

// The PDF, rendered by another program, shows what the library's own
// renderer draws: the same dots are inked, in the same colours, except
// where two anti-aliasing rasterisers differ along the edges of shapes.
TEST_F(PdfOutputTest, PdfShowsWhatTheRendererDrawsWithItsTextAndFonts)
{
    std::string pdf = PrintTo("scene.pdf", DrawScene);
    PrintTo("scene.png", DrawScene);
    ASSERT_EQ(std::system(("pdftoppm -r 100 -png -singlefile '" + pdf + "' '" + Path("poppler") + "'").c_str()), 0);
    Surface ours(Path("scene-1.png"));
    Surface theirs(Path("poppler.png"));
    ASSERT_TRUE(ours.Valid() && theirs.Valid());
    ASSERT_EQ(ours.Width(), theirs.Width());
    ASSERT_EQ(ours.Height(), theirs.Height());

    // Bands of the page (what, top, bottom), each to agree on its own: a glyph
    // drawn from the wrong glyph number or a shifted line would spoil its band.
    const std::tuple<const char*, int, int> bands[] = {
        { "serif line and spaced text", 40, 105 },
        { "bold line in three scripts", 105, 185 },
        { "italic, underline, strike-out", 185, 245 },
        { "Japanese from a fallback face", 245, 315 },
        { "opaque and clipped text", 315, 395 },
        { "shapes and picture", 395, 600 },
    };
    for (const auto& [what, top, bottom] : bands) {
        int inked = 0;
        int disagreeing = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < ours.Width(); ++x) {
                uint32_t a = ours.At(x, y);
                uint32_t b = theirs.At(x, y);
                if (a != 0xFFFFFF || b != 0xFFFFFF)
                    ++inked;
                if (Difference(a, b) > 160)
                    ++disagreeing;
            }
        }
        EXPECT_GT(inked, 200) << what;
        EXPECT_LT(disagreeing * 100, inked * 8) << what << ": " << disagreeing << " of " << inked;
    }
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

    // Its text can be searched and every font is embedded.
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

// The PostScript of the same two pages, rendered by ghostscript, shows what
// the PDF shows; made into a PDF by ghostscript, its text is the PDF's.
class PostScriptOutputTest : public PdfOutputTest {
protected:
    void SetUp() override
    {
        PdfOutputTest::SetUp();
        if (std::system("gs --version > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "ghostscript (gs) is not installed: scripts/install-deps.sh installs it";
    }
};

TEST_F(PostScriptOutputTest, PagesLookLikeThePdfsAndKeepTheirTextAndStructure)
{
    const std::string pdf = PrintTo("pages.pdf", DrawTwoPages);
    const std::string ps = PrintTo("pages.ps", DrawTwoPages);
    ASSERT_EQ(std::system(("pdftoppm -r 70 -png '" + pdf + "' '" + Path("pdf") + "'").c_str()), 0);
    // Any complaint of ghostscript's about the document is a failure.
    EXPECT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r70 -dTextAlphaBits=4 "
                         "-dGraphicsAlphaBits=4 -sOutputFile='"
                  + Path("ps-%d.png") + "' '" + ps + "' 2>&1"),
        "");
    // Shapes, the background of opaque text and the picture's quarters, at
    // 70 dots to the inch.
    const Dot dots[] = { { 14, 287, 0xFF0000 }, { 36, 225, 0xFFFF00 }, { 87, 332, 0x00FF00 }, { 87, 367, 0x0000FF },
        { 122, 367, 0xFF0000 }, { 122, 332, 0xFFFFFF } };
    Surface first(Path("ps-1.png"));
    ASSERT_TRUE(first.Valid());
    for (const auto& dot : dots)
        EXPECT_LE(Difference(first.At(dot.X, dot.Y), dot.Colour), 16) << dot.X << "," << dot.Y;
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        Surface ours(Path("ps-" + std::to_string(page) + ".png"));
        Surface poppler(Path("pdf-" + std::to_string(page) + ".png"));
        ASSERT_TRUE(ours.Valid() && poppler.Valid());
        ASSERT_EQ(ours.Width(), poppler.Width());
        ASSERT_EQ(ours.Height(), poppler.Height());
        // Two rasterisers differ by a dot here and there along every edge:
        // compared are the average colours of squares of 5 x 5 dots where
        // either inks. Glyphs drawn from the wrong glyph numbers, missing
        // shapes or a picture upside down differ far more.
        constexpr int kSquare = 5;
        double difference = 0;
        int inked = 0;
        for (int top = 0; top + kSquare <= ours.Height(); top += kSquare) {
            for (int left = 0; left + kSquare <= ours.Width(); left += kSquare) {
                int sums[2][3] = {};
                bool ink = false;
                for (int y = top; y < top + kSquare; ++y) {
                    for (int x = left; x < left + kSquare; ++x) {
                        const uint32_t dots[2] = { ours.At(x, y), poppler.At(x, y) };
                        for (int which = 0; which < 2; ++which) {
                            ink = ink || dots[which] != 0xFFFFFF;
                            for (int channel = 0; channel < 3; ++channel)
                                sums[which][channel] += static_cast<int>((dots[which] >> (8 * channel)) & 0xFF);
                        }
                    }
                }
                if (!ink)
                    continue;
                ++inked;
                for (int channel = 0; channel < 3; ++channel)
                    difference += std::abs(sums[0][channel] - sums[1][channel]) / (3.0 * kSquare * kSquare);
            }
        }
        ASSERT_GT(inked, 400);
        // A page with the other page's content scores about 90.
        EXPECT_LT(difference / inked, 30.0);
    }

    // Made into a PDF by ghostscript, the text is the PDF's in every kind of font.
    ASSERT_EQ(std::system(("ps2pdf '" + ps + "' '" + Path("converted.pdf") + "'").c_str()), 0);
    const std::string text = RunCommand("pdftotext '" + Path("converted.pdf") + "' - 2>&1");
    EXPECT_EQ(text, RunCommand("pdftotext '" + pdf + "' - 2>&1"));
    EXPECT_NE(text.find("Nimbus Roman Ωμέγα Жук"), std::string::npos) << text;
    const std::string fonts = RunCommand("pdffonts '" + Path("converted.pdf") + "' 2>&1");
    for (const char* kind : { "CID TrueType", "CID Type 0C", "Type 1C" })
        EXPECT_NE(fonts.find(kind), std::string::npos) << kind << " in\n" << fonts;

    // The document follows the structuring conventions.
    const std::string document = ReadFile(ps);
    for (const char* expected :
        { "%!PS-Adobe-3.0\n%%Title: Test job\n%%Creator: Plotwise\n", "\n%%BoundingBox: 0 0 612 792\n",
            "\n%%DocumentMedia: Plain 612 792 0 () ()\n", "\n%%Pages: 2\n", "\n%%EndComments\n", "\n%%EndProlog\n",
            "<</PageSize[612 792]", "\n%%Page: 1 1\n", "\n%%Page: 2 2\n", "\n%%Trailer\n" })
        EXPECT_NE(document.find(expected), std::string::npos) << expected;
    EXPECT_TRUE(document.ends_with("%%EOF\n"));
    // Each face is defined once, in the prolog, whatever the pages use.
    size_t faces = 0;
    for (size_t at = document.find("%%BeginResource: "); at != std::string::npos;
         at = document.find("%%BeginResource: ", at + 1)) {
        EXPECT_LT(at, document.find("%%EndProlog"));
        ++faces;
    }
    EXPECT_GE(faces, 7u); // the procedures and at least six faces
    EXPECT_EQ(document.find("%%BeginResource: ", document.find("%%EndProlog")), std::string::npos);

    // A PostScript printer's queue sends every job through CUPS's pstops,
    // which finds the pages by those conventions and writes them one by one.
    if (std::system("command -v cupsfilter > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "CUPS's filters (cupsfilter) are not installed: scripts/install-deps.sh installs them";
    const std::string log = RunCommand("cupsfilter -m application/vnd.cups-postscript '" + ps + "' 2>&1 >'"
        + Path("filtered.ps") + "'; echo status $?");
    EXPECT_NE(log.find("Wrote 2 pages"), std::string::npos) << log;
    EXPECT_TRUE(log.ends_with("status 0\n")) << log;
    const std::string filtered = ReadFile(Path("filtered.ps"));
    for (const char* expected : { "\n%%Page: 1 1\n", "\n%%Page: 2 2\n", "\n%%Pages: 2\n" })
        EXPECT_NE(filtered.find(expected), std::string::npos) << expected;
    EXPECT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage '" + Path("filtered.ps") + "' 2>&1"), "");
}

} // namespace
