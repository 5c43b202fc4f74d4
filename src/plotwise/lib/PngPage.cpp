#include "PngPage.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace plotwise {
namespace {

constexpr std::size_t kBandBytes = std::size_t { 4 } << 20;
constexpr int32_t kMinimumBandRows = 16;
// Four of zlib's nine levels, the fastest that still searches for the
// longest match: unfiltered, a page of text comes out smaller than with
// libpng's default filtering and level, in a fraction of its time; the
// levels below it write a blank area three times as large.
constexpr int kCompressionLevel = 4;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct SinkState {
    const PngSink* Sink;
    bool Failed = false;
};

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<SinkState*>(png_get_io_ptr(png));
    if (!(*state->Sink)(data, length)) {
        state->Failed = true;
        png_error(png, "write failed");
    }
}

void FlushData(png_structp)
{
}

void NoWarning(png_structp, png_const_charp)
{
}

[[noreturn]] void Fail(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// libpng leaves a failing call through longjmp: every call below is made
// from a function that holds nothing with a destructor.
class PngWriter {
public:
    explicit PngWriter(SinkState& state)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, NoWarning))
        , info_(png_ ? png_create_info_struct(png_) : nullptr)
    {
        if (png_)
            png_set_write_fn(png_, &state, WriteData, FlushData);
    }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }

    bool Ready() const { return info_ != nullptr; }

    bool Start(int32_t width, int32_t height, bool grey)
    {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
            grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
            PNG_FILTER_TYPE_DEFAULT);
        png_color_16 white {};
        white.red = white.green = white.blue = white.gray = 255;
        png_set_bKGD(png_, info_, &white);
        png_set_compression_level(png_, kCompressionLevel);
        png_set_compression_strategy(png_, Z_DEFAULT_STRATEGY);
        png_write_info(png_, info_);
        return true;
    }

    // `filters` are the row filters libpng may choose from for this row.
    bool Row(const unsigned char* row, int filters)
    {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        if (filters != filters_) {
            png_set_filter(png_, PNG_FILTER_TYPE_BASE, filters);
            filters_ = filters;
        }
        png_write_row(png_, row);
        return true;
    }

    bool End()
    {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_write_end(png_, info_);
        return true;
    }

private:
    png_structp png_;
    png_infop info_;
    int filters_ = PNG_ALL_FILTERS;
};

// Drawn text, lines and fills are runs of a few colours that deflate
// finds again on their own: an unfiltered row compresses smaller and many
// times faster than one libpng has filtered. A picture's continuous tones
// need the prediction filters, so rows across a picture let libpng choose.
std::vector<bool> PictureRows(const Page& page, const PageGeometry& geometry)
{
    std::vector<bool> rows(static_cast<std::size_t>(std::max(geometry.Height, 0)), false);
    for (const DrawOp& op : page.Ops) {
        const auto* picture = std::get_if<PictureOp>(&op);
        if (!picture)
            continue;
        const int64_t top = int64_t { geometry.OffsetY } + std::min(picture->Y, picture->Y + picture->Height);
        const int64_t bottom = top + std::abs(int64_t { picture->Height });
        for (int64_t y = std::max<int64_t>(top - 1, 0); y <= bottom && y < geometry.Height; ++y)
            rows[static_cast<std::size_t>(y)] = true;
    }
    return rows;
}

bool Grey(COLORREF color)
{
    const auto red = color & 0xFF;
    return red == ((color >> 8) & 0xFF) && red == ((color >> 16) & 0xFF);
}

bool GreyText(const TextOp& text)
{
    if (!Grey(text.TextColor) || (text.BkMode == OPAQUE && !Grey(text.BkColor)))
        return false;
    return std::none_of(text.Glyphs.begin(), text.Glyphs.end(), [](const GlyphPlacement& glyph) {
        return glyph.Face && glyph.Face->Face && FT_HAS_COLOR(glyph.Face->Face);
    });
}

// Whether every pixel of the page is a grey: greys drawn on white, with
// grey antialiasing, stay grey. Such a page is written with one channel,
// a third of the bytes to compress.
bool GreyPage(const Page& page)
{
    return std::all_of(page.Ops.begin(), page.Ops.end(), [](const DrawOp& op) {
        if (const auto* text = std::get_if<TextOp>(&op))
            return GreyText(*text);
        if (const auto* rectangle = std::get_if<RectangleOp>(&op))
            return (rectangle->Pen.Null || Grey(rectangle->Pen.Color))
                && (rectangle->Brush.Null || Grey(rectangle->Brush.Color));
        if (const auto* line = std::get_if<PolylineOp>(&op))
            return line->Pen.Null || Grey(line->Pen.Color);
        return false;
    });
}

// One row of cairo's native-endian 0x00RRGGBB grey pixels as one byte each.
void PackGreyRow(const unsigned char* from, int32_t width, unsigned char* to)
{
    for (int32_t x = 0; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, from + static_cast<std::size_t>(x) * 4, sizeof pixel);
        to[x] = static_cast<unsigned char>(pixel);
    }
}

// One row of cairo's native-endian 0x00RRGGBB pixels as R, G, B bytes.
void PackRow(const unsigned char* from, int32_t width, unsigned char* to)
{
    for (int32_t x = 0; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, from + static_cast<std::size_t>(x) * 4, sizeof pixel);
        to[0] = static_cast<unsigned char>(pixel >> 16);
        to[1] = static_cast<unsigned char>(pixel >> 8);
        to[2] = static_cast<unsigned char>(pixel);
        to += 3;
    }
}

} // namespace

int32_t PngBandRows(const PageGeometry& geometry)
{
    const std::size_t stride = static_cast<std::size_t>(std::max(geometry.Width, 1)) * 4;
    return static_cast<int32_t>(std::clamp<std::size_t>(kBandBytes / stride, kMinimumBandRows, 1 << 20));
}

PngResult WritePngPage(const Page& page, const PageGeometry& geometry, int32_t bandRows, const PngSink& sink)
{
    const int32_t width = geometry.Width;
    const int32_t height = geometry.Height;
    const int32_t rows = std::clamp(bandRows, 1, std::max(height, 1));
    SurfacePtr band(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, rows));
    if (cairo_surface_status(band.get()) != CAIRO_STATUS_SUCCESS)
        return PngResult::OutOfMemory;
    SinkState state { &sink };
    PngWriter writer(state);
    if (!writer.Ready())
        return PngResult::OutOfMemory;
    const bool grey = GreyPage(page);
    std::vector<unsigned char> packed(static_cast<std::size_t>(width) * (grey ? 1 : 3));
    const std::vector<bool> pictureRows = PictureRows(page, geometry);
    if (!writer.Start(width, height, grey))
        return state.Failed ? PngResult::WriteFailed : PngResult::OutOfMemory;
    for (int32_t top = 0; top < height; top += rows) {
        cairo_t* context = cairo_create(band.get());
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_paint(context);
        cairo_translate(context, geometry.OffsetX, geometry.OffsetY - top);
        RenderPage(context, page);
        cairo_destroy(context);
        cairo_surface_flush(band.get());
        const unsigned char* data = cairo_image_surface_get_data(band.get());
        const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(band.get()));
        const int32_t last = std::min(rows, height - top);
        for (int32_t y = 0; y < last; ++y) {
            const unsigned char* row = data + stride * static_cast<std::size_t>(y);
            if (grey)
                PackGreyRow(row, width, packed.data());
            else
                PackRow(row, width, packed.data());
            const int filters = pictureRows[static_cast<std::size_t>(top + y)] ? PNG_ALL_FILTERS : PNG_FILTER_NONE;
            if (!writer.Row(packed.data(), filters))
                return state.Failed ? PngResult::WriteFailed : PngResult::OutOfMemory;
        }
    }
    if (!writer.End())
        return state.Failed ? PngResult::WriteFailed : PngResult::OutOfMemory;
    return PngResult::Written;
}

} // namespace plotwise
