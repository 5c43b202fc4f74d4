#include "Picture.h"
#include "PlotwiseTestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <vector>

using namespace plotwise;
using namespace plotwise_test;

namespace {

// A BITMAPINFOHEADER with its palette (blue, green, red, 0 per entry).
std::vector<uint8_t> BitmapHeader(int32_t width, int32_t height, uint16_t bits,
    const std::vector<uint32_t>& palette = {}, uint32_t coloursUsed = 0, uint32_t compression = 0)
{
    std::vector<uint8_t> bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    for (uint32_t value : { 40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height) })
        put(value, 4);
    put(1, 2); // planes
    put(bits, 2);
    for (uint32_t value : { compression, 0u, 2835u, 2835u, coloursUsed, 0u })
        put(value, 4);
    for (uint32_t colour : palette)
        put(colour, 4);
    return bytes;
}

// The pixel at x, y as 0xAARRGGBB, or 0 outside the image.
uint32_t PixelAt(cairo_surface_t* image, int x, int y)
{
    if (!image || x >= cairo_image_surface_get_width(image) || y >= cairo_image_surface_get_height(image))
        return 0;
    cairo_surface_flush(image);
    const unsigned char* row
        = cairo_image_surface_get_data(image) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(image);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

struct BitmapRow {
    const char* Name;
    std::vector<uint8_t> Data;
    int Width;
    int Height;
    // Pixels (0,0), (1,0), (0,1), (1,1) of the decoded image, top row first.
    uint32_t Pixels[4];
};

std::vector<uint8_t> Joined(std::vector<uint8_t> first, const std::vector<uint8_t>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(PictureTest, BitmapsOfEveryDepthDecode)
{
    // Palettes: 0 red, 1 green, 2 blue, 3 white.
    const std::vector<uint32_t> palette = { 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF };
    const BitmapRow rows[] = {
        // Bottom-up: the first row in the data is the bottom row.
        { "1 bit", Joined(BitmapHeader(2, 2, 1, { 0x00FF0000, 0x000000FF }), { 0x40, 0, 0, 0, 0x80, 0, 0, 0 }), 2, 2,
            { kBlue, kRed, kRed, kBlue } },
        { "4 bits", Joined(BitmapHeader(2, 2, 4, palette, 4), { 0x23, 0, 0, 0, 0x01, 0, 0, 0 }), 2, 2,
            { kRed, kGreen, kBlue, kWhite } },
        { "8 bits", Joined(BitmapHeader(2, 2, 8, palette, 4), { 2, 3, 0, 0, 0, 1, 0, 0 }), 2, 2,
            { kRed, kGreen, kBlue, kWhite } },
        { "8 bits top-down", Joined(BitmapHeader(2, -2, 8, palette, 4), { 2, 3, 0, 0, 0, 1, 0, 0 }), 2, 2,
            { kBlue, kWhite, kRed, kGreen } },
        { "8 bits index beyond the palette", Joined(BitmapHeader(2, 1, 8, palette, 4), { 9, 1, 0, 0 }), 2, 1,
            { kBlack, kGreen, 0, 0 } },
        { "24 bits", Joined(BitmapHeader(2, 2, 24), { 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0 }), 2,
            2, { kBlue, kWhite, kRed, kGreen } },
        { "32 bits", Joined(BitmapHeader(1, 2, 32), { 0, 255, 0, 0, 255, 0, 0, 0 }), 1, 2, { kBlue, 0, kGreen, 0 } },
        { "with a file header",
            Joined(Joined({ 'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, BitmapHeader(1, 1, 24)), { 0, 0, 255, 0 }),
            1, 1, { kRed, 0, 0, 0 } },
    };
    for (const BitmapRow& row : rows) {
        std::shared_ptr<cairo_surface_t> image = DecodePictureData(row.Data);
        ASSERT_NE(image, nullptr) << row.Name;
        EXPECT_EQ(cairo_image_surface_get_width(image.get()), row.Width) << row.Name;
        EXPECT_EQ(cairo_image_surface_get_height(image.get()), row.Height) << row.Name;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(PixelAt(image.get(), i % 2, i / 2), row.Pixels[i]) << row.Name << ", pixel " << i;
    }
}

TEST(PictureTest, DamagedBitmapsAreRefused)
{
    const std::vector<uint8_t> header = BitmapHeader(2, 2, 24);
    const std::pair<const char*, std::vector<uint8_t>> rows[] = {
        { "empty", {} },
        { "header cut short", { header.begin(), header.begin() + 20 } },
        { "pixels cut short", Joined(header, std::vector<uint8_t>(15, 0)) },
        { "height promising more rows", Joined(BitmapHeader(1, 1000000, 24), std::vector<uint8_t>(64, 0)) },
        { "palette cut short", Joined(BitmapHeader(1, 1, 8, {}, 256), std::vector<uint8_t>(40, 0)) },
        { "more colours than the depth allows", Joined(BitmapHeader(1, 1, 1, { 0, 0, 0 }, 3), { 0, 0, 0, 0 }) },
        { "16 bits", Joined(BitmapHeader(1, 1, 16), { 0, 0, 0, 0 }) },
        { "compressed", Joined(BitmapHeader(1, 1, 8, { 0 }, 1, 1), { 0, 0, 0, 0 }) },
        { "zero width", Joined(BitmapHeader(0, 1, 24), { 0, 0, 0, 0 }) },
        { "too wide", Joined(BitmapHeader(100000, 1, 1), std::vector<uint8_t>(12504, 0)) },
        { "too many pixels", Joined(BitmapHeader(8192, 4096, 1), std::vector<uint8_t>(4194304, 0)) },
        { "header size beyond the data",
            [] {
                std::vector<uint8_t> bytes = Joined(BitmapHeader(1, 1, 24), { 0, 0, 0, 0 });
                bytes[0] = 200;
                return bytes;
            }() },
        { "PNG signature and nothing else", { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0 } },
        { "JPEG signature and nothing else", { 0xFF, 0xD8, 0xFF, 0xE0, 0, 0 } },
    };
    for (const auto& [name, data] : rows)
        EXPECT_EQ(DecodePictureData(data), nullptr) << name;
}

TEST(PictureTest, PngDecodesWithItsTransparency)
{
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
    cairo_t* context = cairo_create(source);
    cairo_set_source_rgb(context, 0, 0, 1);
    cairo_rectangle(context, 0, 0, 1, 1);
    cairo_fill(context);
    cairo_destroy(context);
    std::vector<uint8_t> png;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
        bytes->insert(bytes->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_write_to_png_stream(source, append, &png);
    cairo_surface_destroy(source);

    std::shared_ptr<cairo_surface_t> image = DecodePictureData(png);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), 3);
    EXPECT_EQ(cairo_image_surface_get_height(image.get()), 2);
    EXPECT_EQ(PixelAt(image.get(), 0, 0), kBlue);
    EXPECT_EQ(PixelAt(image.get(), 2, 1), 0u);

    png.resize(png.size() / 2);
    EXPECT_EQ(DecodePictureData(png), nullptr);
}

std::vector<uint8_t> GreenJpeg(int width, int height)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr error {};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x)
        row[static_cast<size_t>(x) * 3 + 1] = 255;
    while (info.next_scanline < info.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

TEST(PictureTest, JpegDecodes)
{
    std::vector<uint8_t> jpeg = GreenJpeg(16, 8);
    std::shared_ptr<cairo_surface_t> image = DecodePictureData(jpeg);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), 16);
    EXPECT_EQ(cairo_image_surface_get_height(image.get()), 8);
    uint32_t pixel = PixelAt(image.get(), 8, 4);
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_GT((pixel >> 8) & 0xFF, 0xF0u);
    EXPECT_LT((pixel >> 16) & 0xFF, 0x10u);
    // A stream cut short is refused, inside its header or its image data.
    EXPECT_EQ(DecodePictureData(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 30)), nullptr);
    EXPECT_EQ(DecodePictureData(std::vector<uint8_t>(jpeg.begin(), jpeg.end() - 20)), nullptr);
}

TEST(PictureTest, CropsCutTheImageInProportionToTheGoalSize)
{
    std::vector<uint8_t> data = Joined(BitmapHeader(4, 2, 24), std::vector<uint8_t>(24, 0));
    PLW_PICTURE picture = PictureOf(data.data(), data.size(), 400, 200); // 100 twips a pixel
    picture.CropLeft = 100;
    picture.CropRight = 150; // one and a half pixels: one is cut
    std::shared_ptr<cairo_surface_t> image = DecodePicture(picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), 2);
    EXPECT_EQ(cairo_image_surface_get_height(image.get()), 2);
    picture.CropLeft = 200;
    picture.CropRight = 200;
    EXPECT_EQ(DecodePicture(picture), nullptr);
    picture.CropLeft = -500;
    picture.CropRight = 0;
    image = DecodePicture(picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), 4);
}

struct SizeRow {
    int32_t GoalWidth, GoalHeight, ScaleX, ScaleY, CropLeft, SourceWidth, Dpi;
    int32_t Width, Height;
};

TEST(PictureTest, DrawnSizeIsTheGoalLessCropsTimesScale)
{
    const SizeRow rows[] = {
        { 1440, 720, 0, 0, 0, 0, 300, 300, 150 },
        { 1440, 720, 50, 200, 0, 0, 300, 150, 300 },
        { 1440, 1440, 100, 100, 720, 0, 600, 300, 600 },
        { 0, 0, 0, 0, 0, 96, 600, 600, 0 },
        { 1441, 1439, 0, 0, 0, 0, 1, 1, 1 },
        { 1440, 1440, 0, 0, 5000, 0, 600, 0, 600 },
        { INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, 0, 2400, INT32_MAX / 2, INT32_MAX / 2 },
    };
    for (const SizeRow& row : rows) {
        PLW_PICTURE picture = PictureOf(nullptr, 0, row.GoalWidth, row.GoalHeight);
        picture.ScaleX = row.ScaleX;
        picture.ScaleY = row.ScaleY;
        picture.CropLeft = row.CropLeft;
        picture.SourceWidth = row.SourceWidth;
        int32_t width = -1;
        int32_t height = -1;
        PictureDeviceSize(picture, nullptr, row.Dpi, width, height);
        EXPECT_EQ(width, row.Width) << row.GoalWidth << " " << row.ScaleX;
        EXPECT_EQ(height, row.Height) << row.GoalHeight << " " << row.ScaleY;
    }
}

} // namespace
