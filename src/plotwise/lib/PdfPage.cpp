#include "PdfPage.h"

#include "ContentStream.h"
#include "GlyphOutline.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace plotwise {
namespace {

// Below this, an adjustment computed with a few roundings fewer is still
// below a half once computed in full.
constexpr double kSurelyBelowHalf = 0.49;

// std::round, without the call into the maths library that every glyph of a
// text would make: x - trunc(x) is exact, so the halfway cases go away from
// zero as round takes them, and a zero keeps its sign.
inline double RoundHalfAway(double x)
{
    const double whole = std::trunc(x);
    const double part = x - whole;
    if (part >= 0.5)
        return whole + 1.0;
    if (part <= -0.5)
        return whole - 1.0;
    return whole;
}

// As the other destinations draw them: synthetic italics lean a fifth of the
// em, synthetic bold strokes the outline with a thirty-fifth of it.
constexpr double kObliqueSlant = 0.2;
constexpr double kEmboldenFraction = 1.0 / 35;
// Positions in device units need no finer steps than a hundredth.

struct Rgb {
    uint8_t Red;
    uint8_t Green;
    uint8_t Blue;
    bool operator==(const Rgb&) const = default;
};

Rgb ToRgb(COLORREF color)
{
    return { static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
        static_cast<uint8_t>((color >> 16) & 0xFF) };
}

// The parts of the graphics state the stream sets, so that each is written
// only when it changes.
struct GraphicsState {
    std::optional<Rgb> Fill;
    std::optional<Rgb> Stroke;
    std::optional<double> LineWidth;
    int TextRendering = 0;
    // The font resource of the text state, which outlives text objects.
    const PdfFontSet::SizeEntry* TextFont = nullptr;
};

// The font resources of a page's runs of glyphs of one face, in the order
// they are drawn, and the glyphs' codes and widths fixed in the font set.
// A page without pictures and outlines then needs the font set no more.
bool FixPageFonts(const Page& page, PdfFontSet& fonts, std::vector<PdfFontSet::SizeEntry*>& sizes)
{
    // Pictures are written as they are drawn, between the fonts' objects.
    for (const DrawOp& op : page.Ops) {
        if (std::holds_alternative<PictureOp>(op))
            return false;
    }
    for (const DrawOp& op : page.Ops) {
        const auto* text = std::get_if<TextOp>(&op);
        if (!text || text->Glyphs.empty() || !(text->TextFont->EmSize() > 0))
            continue;
        const Font& font = *text->TextFont;
        const auto* characters = reinterpret_cast<const PLW_WCHAR*>(text->Text.data());
        const std::vector<GlyphPlacement>& glyphs = text->Glyphs;
        size_t position = 0; // in the text, of the glyph numbered walked
        size_t walked = 0;
        size_t index = 0;
        while (index < glyphs.size()) {
            const FontFace* face = glyphs[index].Face;
            PdfFontSet::SizeEntry* entry = face ? fonts.Use(*face, font) : nullptr;
            if (face)
                sizes.push_back(entry);
            // A face that cannot be embedded is drawn from its outlines.
            if (!entry && face && face->Face)
                return false;
            // The run of glyphs of this face. Most were fixed by the pages
            // before: only a run with a new one walks the text for its
            // characters.
            size_t end = index;
            bool allFixed = true;
            if (entry) {
                const uint32_t* codes = entry->Owner->Codes.data();
                const double* widths = entry->Widths.data();
                const size_t count = entry->Widths.size();
                for (; end < glyphs.size() && glyphs[end].Face == face; ++end) {
                    const size_t at = glyphs[end].Index < count ? glyphs[end].Index : 0;
                    allFixed &= (codes[at] != PdfFontSet::kUnused) & (widths[at] >= 0);
                }
            } else {
                while (end < glyphs.size() && glyphs[end].Face == face)
                    ++end;
            }
            if (!allFixed) {
                // Each glyph stands for the next character of the text.
                for (; walked < index; ++walked)
                    NextCharacter(characters, text->Text.size(), position);
                for (size_t i = index; i < end; ++i, ++walked) {
                    char32_t character = NextCharacter(characters, text->Text.size(), position);
                    if (!PdfFontSet::Fixed(*entry, glyphs[i].Index)) {
                        double width = 0;
                        fonts.UseGlyph(*entry, font, glyphs[i].Index, character, width);
                    }
                }
            }
            index = end;
        }
    }
    return true;
}

class ContentWriter final : public ContentStream<ContentWriter, GraphicsState> {
public:
    ContentWriter(PdfFontSet& fonts, PdfImageSet& images, size_t operations, std::string buffer)
        : ContentStream(operations, std::move(buffer))
        , fonts_(&fonts)
        , images_(&images)
    {
    }

    // A page whose fonts FixPageFonts has fixed, drawn without the font set.
    ContentWriter(const std::vector<PdfFontSet::SizeEntry*>& sizes, size_t operations, std::string buffer)
        : ContentStream(operations, std::move(buffer))
        , sizes_(&sizes)
    {
    }

private:
    friend class ContentStream<ContentWriter, GraphicsState>;
    static constexpr const char* kClipOperator = "W n\n";

    void Color(Rgb rgb, const char* op)
    {
        for (uint8_t component : { rgb.Red, rgb.Green, rgb.Blue }) {
            if (component == 0 || component == 255)
                out_ += component == 0 ? '0' : '1';
            else
                AppendReal(out_, component / 255.0, 3);
            out_ += ' ';
        }
        out_ += op;
        out_ += '\n';
    }

    void SetFill(COLORREF color)
    {
        Rgb rgb = ToRgb(color);
        if (state_.Fill != rgb) {
            Color(rgb, "rg");
            state_.Fill = rgb;
        }
    }

    void SetStroke(COLORREF color)
    {
        Rgb rgb = ToRgb(color);
        if (state_.Stroke != rgb) {
            Color(rgb, "RG");
            state_.Stroke = rgb;
        }
    }

    void DrawGlyphs(const TextOp& op, const Font& font, double baseline)
    {
        double em = font.EmSize();
        SetFill(op.TextColor);
        int rendering = 0;
        if (font.SyntheticBold()) {
            // Fill and stroke: the stroke's width is in user space.
            SetStroke(op.TextColor);
            SetLineWidth(em * kEmboldenFraction);
            rendering = 2;
        }
        size_t position = 0;
        bool inText = false;
        size_t index = 0;
        while (index < op.Glyphs.size()) {
            const FontFace* face = op.Glyphs[index].Face;
            size_t end = index;
            while (end < op.Glyphs.size() && op.Glyphs[end].Face == face)
                ++end;
            PdfFontSet::SizeEntry* entry = face ? SizeOf(*face, font) : nullptr;
            if (entry) {
                if (!inText) {
                    out_ += "BT\n";
                    inText = true;
                    if (state_.TextRendering != rendering) {
                        AppendInteger(out_, rendering);
                        out_ += " Tr\n";
                        state_.TextRendering = rendering;
                    }
                }
                GlyphRun(op, font, *entry, index, end, baseline, position);
            } else {
                if (inText) {
                    out_ += "ET\n";
                    inText = false;
                }
                for (size_t i = index; i < end; ++i) {
                    NextCharacter(reinterpret_cast<const PLW_WCHAR*>(op.Text.data()), op.Text.size(), position);
                    if (face && face->Face)
                        Outline(*face, op.Glyphs[i], op.X, baseline, em, font);
                }
            }
            index = end;
        }
        if (inText)
            out_ += "ET\n";
    }

    // One face's glyphs of a text: placed at the first glyph, each further
    // glyph moved from where the declared width of the one before leaves it
    // to where it was measured, when the two differ.
    void GlyphRun(const TextOp& op, const Font& font, PdfFontSet::SizeEntry& size, size_t begin, size_t end,
        double baseline, size_t& position)
    {
        double em = size.Em;
        if (state_.TextFont != &size) {
            out_ += '/';
            out_ += size.ResourceName;
            out_ += " 1 Tf\n";
            state_.TextFont = &size;
        }
        double start = static_cast<double>(op.X) + op.Glyphs[begin].X;
        Numbers({ em, 0, font.SyntheticItalic() ? kObliqueSlant * em : 0, -em, start });
        Real(baseline);
        out_ += " Tm\n[<";
        static constexpr char kHex[] = "0123456789ABCDEF";
        double reached = start;
        double previousWidth = 0;
        // Most glyphs stand where their widths put them. An adjustment that
        // this nearly-equal product already puts well below a half rounds to
        // zero whatever its last bits, so only the others take the exact
        // sum with its divisions; NaN sends every glyph there.
        const double roughScale = em > 0 && std::isfinite(em) ? 1000.0 / em * 100.0 : std::nan("");
        // The codes gather here and join the stream a stretch at a time.
        char codes[256];
        size_t gathered = 0;
        for (size_t i = begin; i < end; ++i) {
            const GlyphPlacement& glyph = op.Glyphs[i];
            // A page whose glyphs were fixed before needs no characters.
            const char32_t character = fonts_
                ? NextCharacter(reinterpret_cast<const PLW_WCHAR*>(op.Text.data()), op.Text.size(), position)
                : 0;
            if (i > begin) {
                double natural = reached + previousWidth * em / 1000.0;
                double target = static_cast<double>(op.X) + glyph.X;
                double adjustment = 0;
                if (!(std::fabs((natural - target) * roughScale) < kSurelyBelowHalf))
                    adjustment = RoundHalfAway((natural - target) * 1000.0 / em * 100.0) / 100.0;
                if (adjustment != 0) {
                    out_.append(codes, gathered);
                    gathered = 0;
                    out_ += '>';
                    Real(adjustment);
                    out_ += '<';
                    reached = natural - adjustment * em / 1000.0;
                } else {
                    // Taking away a zero, of either sign, leaves natural.
                    reached = natural;
                }
            }
            uint32_t code = (fonts_ ? fonts_->UseGlyph(size, font, glyph.Index, character, previousWidth)
                                    : PdfFontSet::FixedGlyph(size, glyph.Index, previousWidth))
                & 0xFFFF;
            if (gathered + 4 > sizeof codes) {
                out_.append(codes, gathered);
                gathered = 0;
            }
            codes[gathered] = kHex[code >> 12];
            codes[gathered + 1] = kHex[(code >> 8) & 0xF];
            codes[gathered + 2] = kHex[(code >> 4) & 0xF];
            codes[gathered + 3] = kHex[code & 0xF];
            gathered += 4;
        }
        out_.append(codes, gathered);
        out_ += ">]TJ\n";
    }

    PdfFontSet::SizeEntry* SizeOf(const FontFace& face, const Font& font)
    {
        if (fonts_)
            return fonts_->Use(face, font);
        return nextSize_ < sizes_->size() ? (*sizes_)[nextSize_++] : nullptr;
    }

    // A glyph of a face that cannot be embedded, drawn as its outline.
    void Outline(
        const FontFace& face, const GlyphPlacement& glyph, int32_t x, double baseline, double em, const Font& font)
    {
        if (AppendGlyphOutline(out_, face, glyph.Index, static_cast<double>(x) + glyph.X, baseline, em,
                font.SyntheticItalic() ? kObliqueSlant : 0))
            out_ += font.SyntheticBold() ? "B\n" : "f\n";
    }

    void DrawPicture(const PictureOp& op)
    {
        if (!op.Image || op.Width <= 0 || op.Height <= 0)
            return;
        std::string name = images_ ? images_->Use(op.Image) : std::string();
        if (name.empty())
            return;
        Save();
        Rectangle(op.X, op.Y, op.Width, op.Height);
        out_ += "W n\n";
        // Image space has its first row at the top of the unit square, which
        // this stream's downward y would turn upside down.
        Numbers({ static_cast<double>(op.Width), 0, 0, -static_cast<double>(op.Height), static_cast<double>(op.X) });
        Real(static_cast<double>(op.Y) + op.Height);
        out_ += " cm\n/";
        out_ += name;
        out_ += " Do\n";
        Restore();
    }

    // Null when the page's fonts were fixed beforehand.
    PdfFontSet* fonts_ = nullptr;
    PdfImageSet* images_ = nullptr;
    const std::vector<PdfFontSet::SizeEntry*>* sizes_ = nullptr;
    size_t nextSize_ = 0;
};

} // namespace

PdfImageSet::PdfImageSet(PdfFile& pdf)
    : pdf_(pdf)
{
}

std::string PdfImageSet::Use(const std::shared_ptr<cairo_surface_t>& image)
{
    for (const auto& [drawn, name] : pageImages_) {
        if (drawn == image)
            return name;
    }
    int object = Write(image.get());
    if (object == 0)
        return {};
    objects_.push_back(object);
    std::string name = "Im" + std::to_string(objects_.size());
    pageImages_.emplace_back(image, name);
    return name;
}

void PdfImageSet::EndPage()
{
    pageImages_.clear();
}

void PdfImageSet::AppendResources(std::string& out) const
{
    for (size_t i = 0; i < objects_.size(); ++i) {
        out += "/Im";
        AppendInteger(out, static_cast<int64_t>(i + 1));
        out += ' ';
        AppendInteger(out, objects_[i]);
        out += " 0 R";
    }
}

// The picture as RGB samples, and its coverage as a soft mask when any dot
// is not opaque. Cairo keeps colours multiplied by their alpha.
int PdfImageSet::Write(cairo_surface_t* image)
{
    if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32)
        return 0;
    cairo_surface_flush(image);
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    if (!data || width <= 0 || height <= 0)
        return 0;
    std::string rgb;
    std::string alpha;
    rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    alpha.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    bool translucent = false;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = row[x];
            uint32_t a = pixel >> 24;
            auto channel = [a](uint32_t value) {
                return static_cast<char>(a == 0 ? 0
                        : a == 255              ? value
                                                : std::min<uint32_t>(255, (value * 255 + a / 2) / a));
            };
            rgb += channel((pixel >> 16) & 0xFF);
            rgb += channel((pixel >> 8) & 0xFF);
            rgb += channel(pixel & 0xFF);
            alpha += static_cast<char>(a);
            translucent = translucent || a != 255;
        }
    }
    std::string size = "/Width ";
    AppendInteger(size, width);
    size += "/Height ";
    AppendInteger(size, height);
    size += "/BitsPerComponent 8";
    int mask = 0;
    if (translucent) {
        mask = pdf_.Reserve();
        if (!pdf_.WriteStream(mask, "/Type/XObject/Subtype/Image" + size + "/ColorSpace/DeviceGray/Interpolate true",
                std::move(alpha), StreamData::Compressed))
            return 0;
    }
    int object = pdf_.Reserve();
    std::string dictionary = "/Type/XObject/Subtype/Image" + size + "/ColorSpace/DeviceRGB/Interpolate true";
    if (mask) {
        dictionary += "/SMask ";
        AppendInteger(dictionary, mask);
        dictionary += " 0 R";
    }
    return pdf_.WriteStream(object, std::move(dictionary), std::move(rgb), StreamData::Compressed) ? object : 0;
}

std::string PageContent(
    const Page& page, const PageGeometry& geometry, PdfFontSet& fonts, PdfImageSet& images, std::string buffer)
{
    ContentWriter writer(fonts, images, page.Ops.size(), std::move(buffer));
    writer.Begin(geometry);
    for (const DrawOp& op : page.Ops)
        writer.Draw(op);
    return writer.Take();
}

std::unique_ptr<StreamBuilder> FixedPageContent(Page& page, const PageGeometry& geometry, PdfFontSet& fonts)
{
    class Builder final : public StreamBuilder {
    public:
        Builder(Page& page, const PageGeometry& geometry, std::vector<PdfFontSet::SizeEntry*> sizes)
            : page_(std::move(page))
            , geometry_(geometry)
            , sizes_(std::move(sizes))
        {
        }

        std::string Build(std::string buffer) override
        {
            ContentWriter writer(sizes_, page_.Ops.size(), std::move(buffer));
            writer.Begin(geometry_);
            for (const DrawOp& op : page_.Ops)
                writer.Draw(op);
            return writer.Take();
        }

    private:
        Page page_;
        PageGeometry geometry_;
        std::vector<PdfFontSet::SizeEntry*> sizes_;
    };

    std::vector<PdfFontSet::SizeEntry*> sizes;
    if (!FixPageFonts(page, fonts, sizes))
        return nullptr;
    return std::make_unique<Builder>(page, geometry, std::move(sizes));
}

} // namespace plotwise
