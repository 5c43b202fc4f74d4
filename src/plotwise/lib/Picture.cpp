#include "Picture.h"

#include "ByteCursor.h"

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace plotwise {
namespace {

constexpr int64_t kTwipsPerInch = 1440;
constexpr int64_t kWholePercent = 100;
constexpr int64_t kTwipsPerScreenPixel = 15;
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;
constexpr size_t kPaletteEntrySize = 4;
constexpr uint8_t kPngSignature[] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
constexpr uint8_t kJpegSignature[] = { 0xFF, 0xD8, 0xFF };

using Image = std::shared_ptr<cairo_surface_t>;

bool StartsWith(std::span<const uint8_t> data, std::span<const uint8_t> signature)
{
    return data.size() >= signature.size() && std::equal(signature.begin(), signature.end(), data.begin());
}

bool AcceptableSize(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= kMaximumPictureSide && height <= kMaximumPictureSide
        && width * height <= kMaximumPicturePixels;
}

Image NewImage(int64_t width, int64_t height)
{
    if (!AcceptableSize(width, height))
        return nullptr;
    cairo_surface_t* surface
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    return Image(surface, cairo_surface_destroy);
}

// Writes pixels of one image; cairo wants premultiplied alpha. It is
// trivially destructible, so the JPEG decoder may jump over it; the owner
// marks the image changed when done.
class PixelWriter {
public:
    explicit PixelWriter(cairo_surface_t* surface)
        : surface_(surface)
        , data_(cairo_image_surface_get_data(surface))
        , stride_(cairo_image_surface_get_stride(surface))
    {
    }
    void Done() { cairo_surface_mark_dirty(surface_); }

    void Set(int x, int y, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0xFF)
    {
        auto premultiply = [alpha](uint8_t value) { return static_cast<uint32_t>((value * alpha + 127) / 255); };
        uint32_t pixel = (static_cast<uint32_t>(alpha) << 24) | (premultiply(red) << 16) | (premultiply(green) << 8)
            | premultiply(blue);
        auto* row = reinterpret_cast<uint32_t*>(data_ + static_cast<ptrdiff_t>(y) * stride_);
        row[x] = pixel;
    }

private:
    cairo_surface_t* surface_;
    unsigned char* data_;
    int stride_;
};

struct PaletteEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
};

Image DecodeBitmap(std::span<const uint8_t> data)
{
    ByteCursor cursor(data);
    size_t start = data.size() >= 2 && data[0] == 'B' && data[1] == 'M' ? kBitmapFileHeaderSize : 0;
    if (!cursor.Seek(start))
        return nullptr;
    std::optional<uint32_t> headerSize = cursor.U32();
    std::optional<int32_t> width = cursor.I32();
    std::optional<int32_t> height = cursor.I32();
    std::optional<uint16_t> planes = cursor.U16();
    std::optional<uint16_t> bitsPerPixel = cursor.U16();
    std::optional<uint32_t> compression = cursor.U32();
    cursor.U32(); // image size, often 0 for uncompressed bitmaps
    cursor.I32(); // resolution, unused: the record gives the size
    cursor.I32();
    std::optional<uint32_t> coloursUsed = cursor.U32();
    if (!cursor.U32() || !headerSize || !width || !height || !planes || !bitsPerPixel || !compression || !coloursUsed)
        return nullptr;
    if (*headerSize < kBitmapInfoHeaderSize || *headerSize > data.size() - start || *planes != 1
        || *compression != kUncompressed || *width <= 0 || *height == 0 || *height == INT32_MIN)
        return nullptr;
    int bits = *bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return nullptr;
    bool topDown = *height < 0;
    int64_t rows = topDown ? -static_cast<int64_t>(*height) : *height;
    if (!AcceptableSize(*width, rows))
        return nullptr;

    cursor.Seek(start + *headerSize);
    std::vector<PaletteEntry> palette;
    uint64_t entries = *coloursUsed;
    if (bits <= 8) {
        uint64_t most = uint64_t { 1 } << bits;
        if (entries == 0)
            entries = most;
        if (entries > most)
            return nullptr;
    }
    std::optional<std::span<const uint8_t>> paletteBytes
        = entries <= cursor.Remaining() / kPaletteEntrySize ? cursor.Bytes(entries * kPaletteEntrySize) : std::nullopt;
    if (!paletteBytes)
        return nullptr;
    if (bits <= 8) {
        for (size_t i = 0; i < entries; ++i)
            palette.push_back({ (*paletteBytes)[i * 4], (*paletteBytes)[i * 4 + 1], (*paletteBytes)[i * 4 + 2] });
    }

    int64_t stride = (static_cast<int64_t>(*width) * bits + 31) / 32 * 4;
    if (static_cast<uint64_t>(stride * rows) > cursor.Remaining())
        return nullptr;
    std::span<const uint8_t> pixels = *cursor.Bytes(static_cast<size_t>(stride * rows));
    Image image = NewImage(*width, rows);
    if (!image)
        return nullptr;
    PixelWriter writer(image.get());
    for (int64_t row = 0; row < rows; ++row) {
        std::span<const uint8_t> source
            = pixels.subspan(static_cast<size_t>(row * stride), static_cast<size_t>(stride));
        int y = static_cast<int>(topDown ? row : rows - 1 - row);
        for (int x = 0; x < *width; ++x) {
            if (bits >= 24) {
                size_t at = static_cast<size_t>(x) * (bits / 8);
                writer.Set(x, y, source[at + 2], source[at + 1], source[at]);
                continue;
            }
            size_t bit = static_cast<size_t>(x) * bits;
            unsigned index = (source[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            PaletteEntry colour = index < palette.size() ? palette[index] : PaletteEntry {};
            writer.Set(x, y, colour.Red, colour.Green, colour.Blue);
        }
    }
    writer.Done();
    return image;
}

Image DecodePng(std::span<const uint8_t> data)
{
    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size()))
        return nullptr;
    if (!AcceptableSize(png.width, png.height)) {
        png_image_free(&png);
        return nullptr;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> buffer(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&png);
        return nullptr;
    }
    Image image = NewImage(png.width, png.height);
    if (!image)
        return nullptr;
    PixelWriter writer(image.get());
    for (uint32_t y = 0; y < png.height; ++y) {
        const uint8_t* row = buffer.data() + static_cast<size_t>(y) * png.width * 4;
        for (uint32_t x = 0; x < png.width; ++x)
            writer.Set(
                static_cast<int>(x), static_cast<int>(y), row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]);
    }
    writer.Done();
    return image;
}

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->Jump, 1);
}

void IgnoreJpegMessage(j_common_ptr)
{
}

// A stream that ends before its image would otherwise decode into a whole
// image of grey, however few bytes it has: it counts as damaged.
void OnJpegWarning(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        OnJpegError(info);
}

// Everything the decoder changes lives behind this pointer, made before the
// jump point, so nothing depends on locals changed after setjmp.
struct JpegState {
    jpeg_decompress_struct Info {};
    JpegError Error {};
    Image Result;
    std::vector<uint8_t> Row;
};

Image DecodeJpeg(std::span<const uint8_t> data)
{
    auto state = std::make_unique<JpegState>();
    state->Info.err = jpeg_std_error(&state->Error.Manager);
    state->Error.Manager.error_exit = OnJpegError;
    state->Error.Manager.output_message = IgnoreJpegMessage;
    state->Error.Manager.emit_message = OnJpegWarning;
    jpeg_create_decompress(&state->Info);
    if (setjmp(state->Error.Jump)) {
        jpeg_destroy_decompress(&state->Info);
        return nullptr;
    }
    jpeg_decompress_struct& info = state->Info;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (!AcceptableSize(info.image_width, info.image_height) || info.jpeg_color_space == JCS_CMYK
        || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    state->Result = NewImage(info.output_width, info.output_height);
    if (!state->Result || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    state->Row.resize(static_cast<size_t>(info.output_width) * 3);
    PixelWriter writer(state->Result.get());
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = state->Row.data();
        int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
        for (JDIMENSION x = 0; x < info.output_width; ++x)
            writer.Set(static_cast<int>(x), y, state->Row[x * 3], state->Row[x * 3 + 1], state->Row[x * 3 + 2]);
    }
    writer.Done();
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return state->Result;
}

int64_t GoalTwips(int32_t goal, int32_t source, int imagePixels)
{
    if (goal > 0)
        return goal;
    return (source > 0 ? source : imagePixels) * kTwipsPerScreenPixel;
}

int ImageWidth(const cairo_surface_t* image)
{
    return image ? cairo_image_surface_get_width(const_cast<cairo_surface_t*>(image)) : 0;
}

int ImageHeight(const cairo_surface_t* image)
{
    return image ? cairo_image_surface_get_height(const_cast<cairo_surface_t*>(image)) : 0;
}

int32_t TwipsToDevice(int64_t twips, int32_t dpi)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>((twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch, 0, INT32_MAX / 2));
}

int64_t Cropped(int64_t goal, int32_t first, int32_t second)
{
    return std::max<int64_t>(0, goal - std::max(0, first) - std::max(0, second));
}

// Scales beyond a hundredfold are taken as a hundredfold, which keeps every
// product within 64 bits.
constexpr int32_t kLargestScalePercent = 10000;

int64_t Scaled(int64_t twips, int32_t percent)
{
    return twips * (percent > 0 ? std::min(percent, kLargestScalePercent) : kWholePercent) / kWholePercent;
}

} // namespace

Image DecodePictureData(std::span<const uint8_t> data)
{
    if (StartsWith(data, kPngSignature))
        return DecodePng(data);
    if (StartsWith(data, kJpegSignature))
        return DecodeJpeg(data);
    return DecodeBitmap(data);
}

Image DecodePicture(const PLW_PICTURE& picture)
{
    if (!picture.Data || picture.DataSize <= 0)
        return nullptr;
    Image image = DecodePictureData({ picture.Data, static_cast<size_t>(picture.DataSize) });
    if (!image)
        return nullptr;
    int width = ImageWidth(image.get());
    int height = ImageHeight(image.get());
    int64_t goalWidth = GoalTwips(picture.GoalWidth, picture.SourceWidth, width);
    int64_t goalHeight = GoalTwips(picture.GoalHeight, picture.SourceHeight, height);
    auto pixels = [](int32_t crop, int64_t goal, int size) {
        return static_cast<int>(std::min<int64_t>(size, static_cast<int64_t>(std::max(0, crop)) * size / goal));
    };
    int left = pixels(picture.CropLeft, goalWidth, width);
    int right = pixels(picture.CropRight, goalWidth, width);
    int top = pixels(picture.CropTop, goalHeight, height);
    int bottom = pixels(picture.CropBottom, goalHeight, height);
    if (left == 0 && right == 0 && top == 0 && bottom == 0)
        return image;
    if (left + right >= width || top + bottom >= height)
        return nullptr;
    Image cropped = NewImage(width - left - right, height - top - bottom);
    if (!cropped)
        return nullptr;
    cairo_t* context = cairo_create(cropped.get());
    cairo_set_operator(context, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(context, image.get(), -left, -top);
    cairo_paint(context);
    cairo_destroy(context);
    return cropped;
}

void PictureDeviceSize(
    const PLW_PICTURE& picture, const cairo_surface_t* image, int32_t dpi, int32_t& width, int32_t& height)
{
    int64_t goalWidth = GoalTwips(picture.GoalWidth, picture.SourceWidth, ImageWidth(image));
    int64_t goalHeight = GoalTwips(picture.GoalHeight, picture.SourceHeight, ImageHeight(image));
    width = TwipsToDevice(Scaled(Cropped(goalWidth, picture.CropLeft, picture.CropRight), picture.ScaleX), dpi);
    height = TwipsToDevice(Scaled(Cropped(goalHeight, picture.CropTop, picture.CropBottom), picture.ScaleY), dpi);
}

} // namespace plotwise
