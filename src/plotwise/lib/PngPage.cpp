#include "PngPage.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace plotwise {
namespace {

constexpr std::size_t kBandBytes = std::size_t { 4 } << 20;
constexpr int32_t kMinimumBandRows = 16;

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

    bool Start(int32_t width, int32_t height)
    {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
            PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_color_16 white {};
        white.red = white.green = white.blue = white.gray = 255;
        png_set_bKGD(png_, info_, &white);
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

// The filters libpng may choose from for a row. libpng tries all five and
// keeps the one whose bytes sum least, the first of equals; for a row that
// repeats the one above and is not all zero that is always "up" (all zero
// bytes), so it is named alone and libpng spares itself the other four,
// writing the same bytes. A page's margins and the space between its lines
// are such rows.
int RowFilters(const std::vector<unsigned char>& row, const std::vector<unsigned char>& above, bool first)
{
    if (first || row != above)
        return PNG_ALL_FILTERS;
    const bool allZero = std::all_of(row.begin(), row.end(), [](unsigned char byte) { return byte == 0; });
    return allZero ? PNG_ALL_FILTERS : PNG_FILTER_UP;
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

int32_t PngBandRows(const Page& page, const PageGeometry& geometry)
{
    const int32_t height = std::max(geometry.Height, 1);
    for (const DrawOp& op : page.Ops) {
        if (std::holds_alternative<PictureOp>(op))
            return height;
    }
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
    std::vector<unsigned char> packed(static_cast<std::size_t>(width) * 3);
    std::vector<unsigned char> above(packed.size());
    if (!writer.Start(width, height))
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
            PackRow(data + stride * static_cast<std::size_t>(y), width, packed.data());
            if (!writer.Row(packed.data(), RowFilters(packed, above, top + y == 0)))
                return state.Failed ? PngResult::WriteFailed : PngResult::OutOfMemory;
            packed.swap(above);
        }
    }
    if (!writer.End())
        return state.Failed ? PngResult::WriteFailed : PngResult::OutOfMemory;
    return PngResult::Written;
}

} // namespace plotwise
