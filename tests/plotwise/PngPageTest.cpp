#include "PngPage.h"
#include "Job.h"
#include "PlotwiseTestSupport.h"

#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace plotwise;
using namespace plotwise_test;

namespace {

// A page of text and shapes at 600 dots per inch drawn across the edges of
// the bands, on a job kept open to write its page both ways.
class PngPageTest : public OpenJobTest {
protected:
    void SetUp() override
    {
        OpenJobTest::SetUp();
        DrawScene();
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
        DrawShapes(0x30A050, { PS_SOLID, { 5, 0 }, 0x0000FF });
    }

    // A filled rectangle, then a zigzag line across the bands.
    void DrawShapes(COLORREF fill, const LOGPEN& line)
    {
        HBRUSH brush = PLW_CreateSolidBrush(fill);
        HGDIOBJ oldBrush = PLW_SelectObject(dc, brush);
        PLW_Rectangle(dc, 700, 250, 1150, 1100);
        PLW_SelectObject(dc, oldBrush);
        PLW_DeleteObject(brush);
        HPEN pen = PLW_CreatePenIndirect(&line);
        HGDIOBJ oldPen = PLW_SelectObject(dc, pen);
        const POINT zigzag[] = { { 20, 1400 }, { 300, 900 }, { 600, 1450 }, { 1100, 30 } };
        PLW_Polyline(dc, zigzag, 4);
        PLW_SelectObject(dc, oldPen);
        PLW_DeleteObject(pen);
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
        DrawShapes(0xC0C0C0, { PS_SOLID, { 1, 0 }, 0 });
    }

    // Stretched pictures are sampled from where the whole page puts them.
    void DrawPicture()
    {
        // Two by two pixels, blue, green, red, white, stretched over many bands.
        const uint8_t bitmap[] = { 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0 };
        const PLW_PICTURE picture = PictureOf(bitmap, sizeof bitmap, 1000, 1500);
        PLW_DrawPictIndirect(dc, &picture, 130, 333);
    }
};

// The file's pixels as R, G, B bytes after its size; channels says how many
// it holds.
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

// The page drawn at once on one bitmap, through cairo's own PNG writer.
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
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_write_to_png_stream(surface, append, &png);
    cairo_surface_destroy(surface);
    int channels = 0;
    return DecodedPixels(png, channels);
}

const PageGeometry kSceneGeometry { .Width = 1200, .Height = 1500, .OffsetX = 17, .OffsetY = 23 };

enum class Scene { Colours, ColoursAndAPicture, Greys };

TEST_F(PngPageTest, BandsGiveThePixelsOfTheWholePage)
{
    for (Scene scene : { Scene::Colours, Scene::ColoursAndAPicture, Scene::Greys }) {
        if (scene == Scene::ColoursAndAPicture)
            DrawPicture();
        if (scene == Scene::Greys)
            DrawGreyScene();
        const Page& page = CurrentJob().Current;
        ASSERT_GE(page.Ops.size(), 4u);
        const std::string expected = WholePage(page, kSceneGeometry);
        ASSERT_GT(expected.size(), 1000u);
        for (int32_t rows : { 1, 37, 256, 1499, 1500, 5000 }) {
            std::string png;
            const auto append = [&png](const unsigned char* data, std::size_t size) {
                png.append(reinterpret_cast<const char*>(data), size);
                return true;
            };
            ASSERT_EQ(WritePngPage(page, kSceneGeometry, rows, append), PngResult::Written) << rows;
            int channels = 0;
            const std::string banded = DecodedPixels(png, channels);
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
            = WritePngPage(CurrentJob().Current, kSceneGeometry, 64, [&](const unsigned char*, std::size_t size) {
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
        const PageGeometry geometry { .Width = width, .Height = 1 << 22 };
        const int32_t rows = PngBandRows(geometry);
        EXPECT_GE(rows, 16) << width;
        if (rows > 16) {
            EXPECT_LE(static_cast<std::size_t>(rows) * static_cast<std::size_t>(width) * 4, std::size_t { 4 } << 20);
        }
    }
}

} // namespace
