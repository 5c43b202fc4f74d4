#include "PsPage.h"

#include "ContentStream.h"
#include "GlyphOutline.h"
#include "PdfWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace plotwise {
namespace {

// As the other destinations draw them: synthetic italics lean a fifth of the
// em, synthetic bold strokes the outline with a thirty-fifth of it.
constexpr double kObliqueSlant = 0.2;
constexpr double kEmboldenFraction = 1.0 / 35;
constexpr size_t kAscii85GroupsPerLine = 15;
constexpr int kCompressionLevel = 6;

struct GraphicsState {
    std::optional<COLORREF> Color;
    std::optional<double> LineWidth;
    const PsFontSet::SizeEntry* TextFont = nullptr;
};

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

class PageWriter final : public ContentStream<PageWriter, GraphicsState> {
public:
    PageWriter(PsFontSet& fonts, size_t operations, std::string buffer)
        : ContentStream(operations, std::move(buffer))
        , fonts_(fonts)
    {
    }

private:
    friend class ContentStream<PageWriter, GraphicsState>;
    static constexpr const char* kClipOperator = "W\n";

    // PostScript keeps one colour for filling and stroking.
    void SetFill(COLORREF color) { SetColor(color); }
    void SetStroke(COLORREF color) { SetColor(color); }

    void SetColor(COLORREF color)
    {
        color &= 0xFFFFFF;
        if (state_.Color == color)
            return;
        for (unsigned shift : { 0u, 8u, 16u }) {
            const unsigned component = (color >> shift) & 0xFF;
            if (component == 0 || component == 255)
                out_ += component == 0 ? '0' : '1';
            else
                AppendReal(out_, component / 255.0, 3);
            out_ += ' ';
        }
        out_ += "rg\n";
        state_.Color = color;
    }

    void DrawGlyphs(const TextOp& op, const Font& font, double baseline)
    {
        const double em = font.EmSize();
        SetColor(op.TextColor);
        if (font.SyntheticBold())
            SetLineWidth(em * kEmboldenFraction);
        size_t position = 0;
        size_t index = 0;
        while (index < op.Glyphs.size()) {
            const FontFace* face = op.Glyphs[index].Face;
            size_t end = index;
            while (end < op.Glyphs.size() && op.Glyphs[end].Face == face)
                ++end;
            PsFontSet::SizeEntry* entry = face ? fonts_.Use(*face, font) : nullptr;
            if (entry) {
                GlyphRun(op, font, *entry, index, end, baseline, position);
            } else {
                for (size_t i = index; i < end; ++i) {
                    NextCharacter(reinterpret_cast<const PLW_WCHAR*>(op.Text.data()), op.Text.size(), position);
                    if (face
                        && AppendGlyphOutline(out_, *face, op.Glyphs[i].Index,
                            static_cast<double>(op.X) + op.Glyphs[i].X, baseline, em,
                            font.SyntheticItalic() ? kObliqueSlant : 0))
                        out_ += font.SyntheticBold() ? "B\n" : "f\n";
                }
            }
            index = end;
        }
    }

    void Code(uint32_t code)
    {
        static constexpr char kHex[] = "0123456789ABCDEF";
        const char digits[]
            = { kHex[(code >> 12) & 0xF], kHex[(code >> 8) & 0xF], kHex[(code >> 4) & 0xF], kHex[code & 0xF] };
        out_.append(digits, sizeof digits);
    }

    // One face's glyphs of a text, each at the place it was measured at:
    // shown with the advance to the next glyph, and for synthetic bold
    // their outlines stroked as well.
    void GlyphRun(const TextOp& op, const Font& font, PsFontSet::SizeEntry& size, size_t begin, size_t end,
        double baseline, size_t& position)
    {
        if (state_.TextFont != &size) {
            out_ += size.Name;
            out_ += " setfont\n";
            state_.TextFont = &size;
        }
        const auto* text = reinterpret_cast<const PLW_WCHAR*>(op.Text.data());
        std::vector<uint32_t>& codes = codes_;
        codes.clear();
        for (size_t i = begin; i < end; ++i)
            codes.push_back(fonts_.UseGlyph(size, op.Glyphs[i].Index, NextCharacter(text, op.Text.size(), position)));
        Numbers({ static_cast<double>(op.X) + op.Glyphs[begin].X, baseline });
        out_ += "m<";
        for (uint32_t code : codes)
            Code(code);
        out_ += ">[";
        for (size_t i = begin; i < end; ++i) {
            if (i > begin)
                out_ += ' ';
            AppendInteger(out_, i + 1 < end ? op.Glyphs[i + 1].X - op.Glyphs[i].X : 0);
        }
        out_ += "]x\n";
        if (!font.SyntheticBold())
            return;
        // The shown glyphs stay text; their outlines are stroked over them.
        for (size_t i = begin; i < end; ++i) {
            Numbers({ static_cast<double>(op.X) + op.Glyphs[i].X, baseline });
            out_ += "m<";
            Code(codes[i - begin]);
            out_ += ">false charpath\n";
        }
        out_ += "S\n";
    }

    // The picture's RGB samples, compressed, inline after the image
    // operator. PostScript has no soft masks: a dot that is not opaque is
    // laid on white paper, as it shows on a page with nothing beneath it.
    void DrawPicture(const PictureOp& op)
    {
        if (!op.Image || op.Width <= 0 || op.Height <= 0)
            return;
        cairo_surface_t* image = op.Image.get();
        if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32)
            return;
        cairo_surface_flush(image);
        const int width = cairo_image_surface_get_width(image);
        const int height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        if (!data || width <= 0 || height <= 0)
            return;
        std::string rgb;
        rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
            for (int x = 0; x < width; ++x) {
                const uint32_t pixel = row[x];
                const uint32_t paper = 255 - (pixel >> 24);
                for (unsigned shift : { 16u, 8u, 0u })
                    rgb += static_cast<char>(std::min<uint32_t>(255, ((pixel >> shift) & 0xFF) + paper));
            }
        }
        if (!compressor_)
            compressor_.reset(libdeflate_alloc_compressor(kCompressionLevel));
        std::string compressed(compressor_ ? libdeflate_zlib_compress_bound(compressor_.get(), rgb.size()) : 0, '\0');
        const size_t size = compressor_
            ? libdeflate_zlib_compress(compressor_.get(), rgb.data(), rgb.size(), compressed.data(), compressed.size())
            : 0;
        if (size == 0)
            return;
        compressed.resize(size);
        Save();
        Rectangle(op.X, op.Y, op.Width, op.Height);
        out_ += "W\n";
        Numbers({ static_cast<double>(op.Width), 0, 0, static_cast<double>(op.Height), static_cast<double>(op.X) });
        Real(op.Y);
        out_ += " cm/DeviceRGB setcolorspace<</ImageType 1/Width ";
        AppendInteger(out_, width);
        out_ += "/Height ";
        AppendInteger(out_, height);
        out_ += "/BitsPerComponent 8/Decode[0 1 0 1 0 1]/Interpolate true/ImageMatrix[";
        AppendInteger(out_, width);
        out_ += " 0 0 ";
        AppendInteger(out_, height);
        out_ += " 0 0]>>Img\n";
        AppendAscii85(out_, compressed);
        Restore();
    }

    PsFontSet& fonts_;
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor_;
    std::vector<uint32_t> codes_;
};

} // namespace

void AppendAscii85(std::string& out, std::string_view bytes)
{
    size_t groups = 0;
    for (size_t at = 0; at < bytes.size(); at += 4) {
        const size_t count = std::min<size_t>(4, bytes.size() - at);
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = (value << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0);
        if (value == 0 && count == 4) {
            out += 'z';
        } else {
            char digits[5];
            for (int i = 4; i >= 0; --i) {
                digits[i] = static_cast<char>('!' + value % 85);
                value /= 85;
            }
            out.append(digits, count + 1);
        }
        if (++groups % kAscii85GroupsPerLine == 0)
            out += '\n';
    }
    out += "~>\n";
}

std::string PsPageContent(const Page& page, const PageGeometry& geometry, PsFontSet& fonts, std::string buffer)
{
    PageWriter writer(fonts, page.Ops.size(), std::move(buffer));
    writer.Begin(geometry);
    for (const DrawOp& op : page.Ops)
        writer.Draw(op);
    return writer.Take();
}

} // namespace plotwise
