#include "PngPage.h"
#include "Job.h"
#include "PlotwiseTestSupport.h"

#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

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

    // Black and grey text, a grey fill and a black line on a fresh page.
    void DrawGreyScene()
    {
        CurrentJob().Current.Ops.clear();
        plotwise_test::SelectedFont serif(dc, MakeLogFont(u"Liberation Serif", -83));
        for (int32_t line = 0; line < 12; ++line) {
            PLW_SetTextColor(dc, line % 2 ? 0x808080 : 0);
            TextOut(dc, 40 + line * 7, 30 + line * 101, u"Grey rows \u00E9\u00DF Ελληνικά 0123");
        }
        HBRUSH brush = PLW_CreateSolidBrush(0xC0C0C0);
        HGDIOBJ oldBrush = PLW_SelectObject(dc, brush);
        PLW_Rectangle(dc, 700, 250, 1150, 1100);
        PLW_SelectObject(dc, oldBrush);
        PLW_DeleteObject(brush);
        const POINT zigzag[] = { { 20, 1400 }, { 300, 900 }, { 600, 1450 }, { 1100, 30 } };
        PLW_Polyline(dc, zigzag, 4);
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

// The surface's pixels as R, G, B bytes, with its size in front.
std::string PixelsOf(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::string pixels = std::to_string(width) + "x" + std::to_string(height) + ":";
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; data && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, sizeof pixel);
            pixels += static_cast<char>(pixel >> 16);
            pixels += static_cast<char>(pixel >> 8);
            pixels += static_cast<char>(pixel);
        }
    }
    return pixels;
}

// The file's pixels as R, G, B bytes; channels says how many it holds.
std::string DecodedPixels(const std::string& png, int& channels)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return "unreadable";
    channels = PNG_IMAGE_SAMPLE_CHANNELS(image.format);
    image.format = PNG_FORMAT_RGB;
    std::string pixels(PNG_IMAGE_SIZE(image), '\0');
    const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    png_image_free(&image);
    return read ? std::to_string(image.width) + "x" + std::to_string(image.height) + ":" + pixels : "unreadable";
}

// The page drawn at once on one bitmap.
std::string WholePage(const Page& page, const PageGeometry& geometry)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, geometry.Width, geometry.Height);
    cairo_t* context = cairo_create(surface);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_paint(context);
    cairo_translate(context, geometry.OffsetX, geometry.OffsetY);
    RenderPage(context, page);
    cairo_destroy(context);
    std::string pixels = PixelsOf(surface);
    cairo_surface_destroy(surface);
    return pixels;
}

std::string BandedPage(const Page& page, const PageGeometry& geometry, int32_t rows, int& channels)
{
    std::string png;
    const PngResult result = WritePngPage(page, geometry, rows, [&](const unsigned char* data, std::size_t size) {
        png.append(reinterpret_cast<const char*>(data), size);
        return true;
    });
    return result == PngResult::Written ? DecodedPixels(png, channels) : "not written";
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

enum class Scene { Colours, ColoursAndAPicture, Greys };

TEST_F(PngPageTest, BandsGiveThePixelsOfTheWholePage)
{
    const PageGeometry geometry = SceneGeometry();
    for (Scene scene : { Scene::Colours, Scene::ColoursAndAPicture, Scene::Greys }) {
        if (scene == Scene::ColoursAndAPicture)
            DrawPicture();
        if (scene == Scene::Greys)
            DrawGreyScene();
        const Page& page = CurrentJob().Current;
        ASSERT_GE(page.Ops.size(), 4u);
        const std::string expected = WholePage(page, geometry);
        ASSERT_GT(expected.size(), 1000u);
        for (int32_t rows : { 1, 37, 256, 1499, 1500, 5000 }) {
            int channels = 0;
            const std::string banded = BandedPage(page, geometry, rows, channels);
            EXPECT_EQ(channels, scene == Scene::Greys ? 1 : 3) << static_cast<int>(scene);
            ASSERT_EQ(banded.size(), expected.size()) << rows;
            // A stretched picture is sampled relative to the band: its
            // pixels may round a level or two apart; everything else is exact.
            const int allowed = scene == Scene::ColoursAndAPicture ? 2 : 0;
            int largest = 0;
            for (std::size_t i = 0; i < banded.size(); ++i)
                largest = std::max(largest,
                    std::abs(int { static_cast<unsigned char>(banded[i]) } - static_cast<unsigned char>(expected[i])));
            EXPECT_LE(largest, allowed) << rows << " rows, scene " << static_cast<int>(scene);
        }
    }
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
        const int32_t rows = PngBandRows(geometry);
        EXPECT_GE(rows, 16) << width;
        if (rows > 16) {
            EXPECT_LE(static_cast<std::size_t>(rows) * static_cast<std::size_t>(width) * 4, std::size_t { 4 } << 20);
        }
    }
}

} // namespace
