#include "PngPage.h"
#include "Job.h"
#include "PlotwiseTestSupport.h"

#include <cairo.h>

#include <string>
#include <vector>

using namespace plotwise;
using namespace plotwise_test;

namespace {

// A page of text and shapes at 600 dots per inch, drawn
// across the edges of the bands, on a job kept open so that the test can
// write its page both ways.
class PngPageTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        environment.Set("PLOTWISE_OUTPUT", Path("job.txt"));
        PLW_Init(u"png");
        PLW_PAGESETUP setup {};
        setup.lStructSize = sizeof setup;
        ASSERT_EQ(PLW_PrintDlg(&setup), 1);
        dc = PLW_GetPrinterDC();
        ASSERT_NE(dc, nullptr);
        DrawScene();
    }

    void TearDown() override
    {
        PLW_DeleteDC(dc);
        PLW_UnInit();
        PlotwiseTest::TearDown();
    }

    void DrawScene()
    {
        {
            plotwise_test::SelectedFont serif(dc, MakeLogFont(u"Liberation Serif", -83));
            for (int32_t line = 0; line < 12; ++line)
                TextOut(dc, 40 + line * 7, 30 + line * 101, u"Bands of rows \u00E9\u00DF Ελληνικά 0123");
        }
        LOGFONTW slanted = MakeLogFont(u"Liberation Sans", -300, FW_BOLD);
        slanted.lfItalic = 1;
        slanted.lfUnderline = 1;
        {
            plotwise_test::SelectedFont big(dc, slanted);
            PLW_SetTextColor(dc, 0x2040C0);
            TextOut(dc, 60, 600, u"Wavy");
        }
        // Black from edge to edge: rows of zero bytes below each other.
        HGDIOBJ oldStockBrush = PLW_SelectObject(dc, PLW_GetStockObject(BLACK_BRUSH));
        PLW_Rectangle(dc, -100, 1458, 1400, 1476);
        PLW_SelectObject(dc, oldStockBrush);
        HBRUSH brush = PLW_CreateSolidBrush(0x30A050);
        HGDIOBJ oldBrush = PLW_SelectObject(dc, brush);
        PLW_Rectangle(dc, 700, 250, 1150, 1100);
        PLW_SelectObject(dc, oldBrush);
        PLW_DeleteObject(brush);
        LOGPEN pen { PS_SOLID, { 5, 0 }, 0x0000FF };
        HPEN thick = PLW_CreatePenIndirect(&pen);
        HGDIOBJ oldPen = PLW_SelectObject(dc, thick);
        const POINT zigzag[] = { { 20, 1400 }, { 300, 900 }, { 600, 1450 }, { 1100, 30 } };
        PLW_Polyline(dc, zigzag, 4);
        PLW_SelectObject(dc, oldPen);
        PLW_DeleteObject(thick);
    }

    // Stretched pictures are sampled from where the whole page puts them.
    void DrawPicture()
    {
        // Two by two pixels, blue, green, red, white, stretched over many bands.
        const uint8_t bitmap[] = { 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0 };
        PLW_PICTURE picture {};
        picture.GoalWidth = 1000;
        picture.GoalHeight = 1500;
        picture.DataSize = sizeof bitmap;
        picture.Data = bitmap;
        PLW_DrawPictIndirect(dc, &picture, 130, 333);
    }

    HDC dc = nullptr;
};

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The page drawn at once on one bitmap and written by cairo.
std::string WholePage(const Page& page, const PageGeometry& geometry)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, geometry.Width, geometry.Height);
    cairo_t* context = cairo_create(surface);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_paint(context);
    cairo_translate(context, geometry.OffsetX, geometry.OffsetY);
    RenderPage(context, page);
    cairo_destroy(context);
    std::string png;
    cairo_surface_write_to_png_stream(surface, AppendBytes, &png);
    cairo_surface_destroy(surface);
    return png;
}

PageGeometry SceneGeometry()
{
    PageGeometry geometry;
    geometry.Width = 1200;
    geometry.Height = 1500;
    geometry.OffsetX = 17;
    geometry.OffsetY = 23;
    return geometry;
}

TEST_F(PngPageTest, BandsGiveTheFileOfTheWholePage)
{
    const Page& page = CurrentJob().Current;
    ASSERT_GE(page.Ops.size(), 15u);
    const PageGeometry geometry = SceneGeometry();
    const std::string expected = WholePage(page, geometry);
    ASSERT_GT(expected.size(), 1000u);
    for (int32_t rows : { 1, 37, 256, 1499, 1500, 5000 }) {
        std::string png;
        const PngResult result = WritePngPage(page, geometry, rows, [&](const unsigned char* data, std::size_t size) {
            png.append(reinterpret_cast<const char*>(data), size);
            return true;
        });
        EXPECT_EQ(result, PngResult::Written) << rows;
        EXPECT_TRUE(png == expected) << rows << " rows a band: " << png.size() << " bytes, not " << expected.size();
    }
}

TEST_F(PngPageTest, APageWithAPictureIsDrawnInOneBand)
{
    const PageGeometry geometry = SceneGeometry();
    EXPECT_LT(PngBandRows(CurrentJob().Current, geometry), geometry.Height);
    DrawPicture();
    const Page& page = CurrentJob().Current;
    EXPECT_EQ(PngBandRows(page, geometry), geometry.Height);
    std::string png;
    EXPECT_EQ(WritePngPage(page, geometry, PngBandRows(page, geometry),
                  [&](const unsigned char* data, std::size_t size) {
                      png.append(reinterpret_cast<const char*>(data), size);
                      return true;
                  }),
        PngResult::Written);
    EXPECT_TRUE(png == WholePage(page, geometry));
}

TEST_F(PngPageTest, AFailedWriteStopsThePage)
{
    for (std::size_t allowed : { std::size_t { 0 }, std::size_t { 40 }, std::size_t { 5000 } }) {
        std::size_t written = 0;
        int calls = 0;
        const PngResult result
            = WritePngPage(CurrentJob().Current, SceneGeometry(), 64, [&](const unsigned char*, std::size_t size) {
                  ++calls;
                  if (written + size > allowed)
                      return false;
                  written += size;
                  return true;
              });
        EXPECT_EQ(result, PngResult::WriteFailed) << allowed;
        EXPECT_LE(written, allowed);
        // Nothing more is written once a write has failed.
        EXPECT_LE(calls, 1 + static_cast<int>(written > 0 ? written : 0)) << allowed;
    }
}

TEST_F(PngPageTest, ABandStaysNearFourMegabytesWhateverTheWidth)
{
    for (int32_t width : { 1, 1275, 5100, 20400, 1 << 20 }) {
        PageGeometry geometry;
        geometry.Width = width;
        geometry.Height = 1 << 22;
        const int32_t rows = PngBandRows(CurrentJob().Current, geometry);
        EXPECT_GE(rows, 16) << width;
        if (rows > 16) {
            EXPECT_LE(static_cast<std::size_t>(rows) * static_cast<std::size_t>(width) * 4, std::size_t { 4 } << 20);
        }
    }
}

} // namespace
