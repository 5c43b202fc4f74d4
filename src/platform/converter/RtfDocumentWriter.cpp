#include "RtfDocumentWriter.h"

#include "CharsetCodePages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace platform {
namespace {

// The face the handheld shows text in when a document names none.
constexpr std::string_view kDefaultFace = "Tahoma";
constexpr char32_t kDefaultBullet = U'\u2022';
constexpr char32_t kReplacementCharacter = U'\uFFFD';
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr int kHalfPointsPerPoint = 2;
constexpr double kPointsPerInch = 72.0;
// Longer face names are cut, as the font table keeps at most 31 units.
constexpr std::size_t kMaxFaceLength = 31;
// The largest size the reader's size field holds, in half-points.
constexpr std::int32_t kLargestHalfPoints = 3276;
constexpr std::int32_t kTwipsPerHalfPoint = 10;

std::optional<std::int32_t> Twips(const librevenge::RVNGProperty* property)
{
    if (property == nullptr)
        return std::nullopt;
    double twips = 0;
    switch (property->getUnit()) {
    case librevenge::RVNG_INCH:
        twips = property->getDouble() * kTwipsPerInch;
        break;
    case librevenge::RVNG_POINT:
        twips = property->getDouble() * kTwipsPerPoint;
        break;
    case librevenge::RVNG_TWIP:
        twips = property->getDouble();
        break;
    default:
        return std::nullopt;
    }
    // A length beyond a page in either direction is not a length to keep.
    constexpr double kLimit = 1 << 20;
    if (!std::isfinite(twips) || twips > kLimit || twips < -kLimit)
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(twips));
}

std::optional<std::int32_t> HalfPoints(const librevenge::RVNGProperty* property)
{
    if (property == nullptr)
        return std::nullopt;
    double points = property->getDouble();
    if (property->getUnit() == librevenge::RVNG_INCH)
        points *= kPointsPerInch;
    else if (property->getUnit() == librevenge::RVNG_TWIP)
        points /= kTwipsPerPoint;
    constexpr double kLargestPoints = 1638; // \fs fits the reader's size field
    if (!std::isfinite(points) || points <= 0 || points > kLargestPoints)
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(points * kHalfPointsPerPoint));
}

std::string Text(const librevenge::RVNGProperty* property)
{
    return property != nullptr ? std::string(property->getStr().cstr()) : std::string();
}

// "#rrggbb" as 0xRRGGBB.
std::optional<std::uint32_t> Color(const librevenge::RVNGProperty* property)
{
    const std::string text = Text(property);
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t value = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && at + length <= text.size() && lead < 0xF5;
        for (std::size_t i = 1; valid && i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            valid = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        if (!valid || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            out.push_back(kReplacementCharacter);
            ++at;
            continue;
        }
        out.push_back(value);
        at += length;
    }
    return out;
}

// One UTF-16 unit as RTF: \u with its signed decimal value and a hex
// fallback, which readers drop after the Unicode character.
void AppendUnicodeUnit(std::string& out, char16_t unit)
{
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::int16_t>(unit)).ptr;
    out += "\\u";
    out.append(digits, end);
    out += "\\'3f";
}

void AppendCharacter(std::string& out, char32_t ch)
{
    switch (ch) {
    case U'\\':
    case U'{':
    case U'}':
        out += '\\';
        out += static_cast<char>(ch);
        return;
    case U'\t':
        out += "\\tab ";
        return;
    case U'\r':
    case U'\n':
        out += "\\par\n";
        return;
    default:
        break;
    }
    if (ch < 0x20)
        return;
    if (ch < 0x80) {
        out += static_cast<char>(ch);
        return;
    }
    if (ch > 0xFFFF) {
        const char32_t offset = ch - 0x10000;
        AppendUnicodeUnit(out, static_cast<char16_t>(0xD800 + (offset >> 10)));
        AppendUnicodeUnit(out, static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        return;
    }
    AppendUnicodeUnit(out, static_cast<char16_t>(ch));
}

void AppendControl(std::string& out, std::string_view word, std::int32_t parameter)
{
    out += '\\';
    out += word;
    out += std::to_string(parameter);
}

std::optional<std::int32_t> Number(const librevenge::RVNGProperty* property)
{
    if (property == nullptr)
        return std::nullopt;
    return property->getInt();
}

// The picture keyword the reader knows for a picture's kind; empty for a
// kind it does not print.
std::string_view PictureKeyword(std::string_view mimeType)
{
    if (mimeType == "image/png")
        return "pngblip";
    if (mimeType == "image/jpeg")
        return "jpegblip";
    if (mimeType == "image/bmp")
        return "dibitmap0";
    return {};
}

// Face names are written as they are; characters the font table would have
// to escape are left out.
std::string CleanFace(std::string_view face)
{
    std::string name;
    for (char ch : face.substr(0, kMaxFaceLength)) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x80 && ch != ';' && ch != '\\' && ch != '{' && ch != '}')
            name += ch;
    }
    return name.empty() ? std::string(kDefaultFace) : name;
}

bool IsFamily(std::string_view family)
{
    static constexpr std::string_view kFamilies[]
        = { "fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor", "ftech", "fbidi" };
    return std::find(std::begin(kFamilies), std::end(kFamilies), family) != std::end(kFamilies);
}

// The format controls of a paragraph, from \pard to the space that ends
// them; `hanging` for a list element whose label hangs in a negative first
// indent.
std::string ParagraphFormat(const librevenge::RVNGPropertyList& propList, bool hanging)
{
    std::string format;
    format += "\\pard";
    const std::string align = Text(propList["fo:text-align"]);
    if (align == "end" || align == "right")
        format += "\\qr";
    else if (align == "center")
        format += "\\qc";
    else if (align == "justify")
        format += "\\qj";
    else
        format += "\\ql";
    const std::int32_t left = Twips(propList["fo:margin-left"]).value_or(0);
    const std::int32_t right = Twips(propList["fo:margin-right"]).value_or(0);
    const std::int32_t first = Twips(propList["fo:text-indent"]).value_or(0);
    if (left != 0)
        AppendControl(format, "li", left);
    if (right != 0)
        AppendControl(format, "ri", right);
    if (first != 0)
        AppendControl(format, "fi", first);

    std::vector<std::int32_t> stops;
    if (const librevenge::RVNGPropertyListVector* tabs = propList.child("librevenge:tab-stops")) {
        for (unsigned long i = 0; i < tabs->count(); ++i) {
            if (const auto position = Twips((*tabs)[i]["style:position"]))
                stops.push_back(left + *position);
        }
    }
    // The text after a list label starts at the left indent, as in a
    // hanging indent.
    if (hanging && first < 0)
        stops.push_back(left);
    std::sort(stops.begin(), stops.end());
    stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
    for (std::int32_t stop : stops) {
        if (stop > 0)
            AppendControl(format, "tx", stop);
    }
    format += ' ';
    return format;
}

} // namespace

RtfDocumentWriter::RtfDocumentWriter(std::uint16_t codePage)
    : RtfDocumentWriter(codePage, Options {})
{
}

RtfDocumentWriter::RtfDocumentWriter(std::uint16_t codePage, Options options)
    : codePage_(codePage)
    , charset_(CharsetOfCodePage(codePage))
    , options_(options)
{
}

std::string RtfDocumentWriter::Rtf() const
{
    std::string out = "{\\rtf1\\ansi";
    AppendControl(out, "ansicpg", codePage_);
    out += "\\deff0{\\fonttbl";
    const std::vector<Font> defaultFonts { Font { std::string(kDefaultFace) } };
    const std::vector<Font>& fonts = fonts_.empty() ? defaultFonts : fonts_;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const Font& font = fonts[i];
        out += '{';
        AppendControl(out, "f", static_cast<std::int32_t>(i));
        out += '\\';
        out += font.Family;
        AppendControl(out, "fcharset", font.Charset >= 0 ? font.Charset : charset_);
        if (font.Pitch >= 0)
            AppendControl(out, "fprq", font.Pitch);
        out += ' ';
        out += font.Face;
        out += ";}";
    }
    out += '}';
    // The colour table is read straight from the source: no spaces or line
    // ends may stand between its entries.
    if (!colors_.empty()) {
        out += "{\\colortbl;";
        for (std::uint32_t rgb : colors_) {
            AppendControl(out, "red", static_cast<std::int32_t>((rgb >> 16) & 0xFF));
            AppendControl(out, "green", static_cast<std::int32_t>((rgb >> 8) & 0xFF));
            AppendControl(out, "blue", static_cast<std::int32_t>(rgb & 0xFF));
            out += ';';
        }
        out += '}';
    }
    out += "\n\\plain\\f0\n";
    out += body_;
    out += "}\n";
    return out;
}

int RtfDocumentWriter::DeclareFont(Font font)
{
    font.Face = CleanFace(font.Face);
    font.Charset = std::clamp(font.Charset, -1, 255);
    font.Pitch = std::clamp(font.Pitch, -1, 2);
    if (!IsFamily(font.Family))
        font.Family = "fnil";
    const auto found = std::find(fonts_.begin(), fonts_.end(), font);
    if (found != fonts_.end())
        return static_cast<int>(found - fonts_.begin());
    fonts_.push_back(std::move(font));
    return static_cast<int>(fonts_.size() - 1);
}

int RtfDocumentWriter::FontIndex(const librevenge::RVNGPropertyList& propList)
{
    if (const auto declared = Number(propList["tallowin:font-index"]);
        declared && *declared >= 0 && static_cast<std::size_t>(*declared) < fonts_.size())
        return *declared;
    Font font { Text(propList["style:font-name"]) };
    font.Charset = Number(propList["tallowin:font-charset"]).value_or(-1);
    if (const std::string family = Text(propList["tallowin:font-family"]); !family.empty())
        font.Family = family;
    font.Pitch = Number(propList["tallowin:font-pitch"]).value_or(-1);
    return DeclareFont(std::move(font));
}

int RtfDocumentWriter::ColorIndex(std::uint32_t rgb)
{
    const auto found = std::find(colors_.begin(), colors_.end(), rgb);
    if (found != colors_.end())
        return static_cast<int>(found - colors_.begin()) + 1;
    colors_.push_back(rgb);
    return static_cast<int>(colors_.size());
}

void RtfDocumentWriter::BeginParagraph(const librevenge::RVNGPropertyList& propList, bool listElement)
{
    if (!Writing())
        return;
    if (paragraphOpen_)
        EndParagraph();
    if (Text(propList["fo:break-before"]) == "page") {
        // The new page takes the height of the line laid out last as its
        // first line's top; an empty line of no height before the break
        // makes that nothing.
        if (options_.PageBreakAtTop)
            body_ += "{\\fs0\\par}";
        body_ += "\\page\n";
    }
    std::u32string label;
    const bool hanging = listElement && !lists_.empty();
    if (hanging) {
        ListLevel& level = lists_.back();
        if (level.Ordered) {
            ++level.Counter;
            for (char digit : std::to_string(level.Counter))
                label += static_cast<char32_t>(digit);
            label += U'.';
        } else {
            label = level.Bullet;
        }
    }
    formatStart_ = body_.size();
    body_ += ParagraphFormat(propList, hanging);
    formatLength_ = body_.size() - formatStart_;
    pendingLabel_ = label;
    paragraphOpen_ = true;
    lineHasText_ = false;
    afterPicture_ = false;
}

// The label of a list element is written with the format of the element's
// first text, so a bullet has the size and font of the text it stands for.
void RtfDocumentWriter::FlushLabel()
{
    if (pendingLabel_.empty())
        return;
    WriteText(pendingLabel_);
    body_ += "\\tab ";
    pendingLabel_.clear();
    lineHasText_ = true;
    Wrote();
}

void RtfDocumentWriter::EndParagraph()
{
    FlushLabel();
    for (; openSpans_ > 0; --openSpans_)
        body_ += '}';
    // A picture's room already ended the paragraph's last line.
    if (!afterPicture_)
        body_ += "\\par\n";
    paragraphOpen_ = false;
    afterPicture_ = false;
}

void RtfDocumentWriter::openParagraph(const librevenge::RVNGPropertyList& propList)
{
    BeginParagraph(propList, false);
}

void RtfDocumentWriter::ReformatParagraph(const librevenge::RVNGPropertyList& propList)
{
    if (!Writing() || !paragraphOpen_)
        return;
    const std::string format = ParagraphFormat(propList, false);
    body_.replace(formatStart_, formatLength_, format);
    formatLength_ = format.size();
}

void RtfDocumentWriter::closeParagraph()
{
    if (Writing() && paragraphOpen_)
        EndParagraph();
}

void RtfDocumentWriter::openListElement(const librevenge::RVNGPropertyList& propList)
{
    BeginParagraph(propList, true);
}

void RtfDocumentWriter::closeListElement()
{
    closeParagraph();
}

void RtfDocumentWriter::openOrderedListLevel(const librevenge::RVNGPropertyList&)
{
    lists_.push_back(ListLevel { true, {}, 0 });
}

void RtfDocumentWriter::openUnorderedListLevel(const librevenge::RVNGPropertyList& propList)
{
    std::u32string bullet = DecodeUtf8(Text(propList["text:bullet-char"]));
    if (bullet.empty())
        bullet = kDefaultBullet;
    lists_.push_back(ListLevel { false, bullet, 0 });
}

void RtfDocumentWriter::closeOrderedListLevel()
{
    if (!lists_.empty())
        lists_.pop_back();
}

void RtfDocumentWriter::closeUnorderedListLevel()
{
    if (!lists_.empty())
        lists_.pop_back();
}

void RtfDocumentWriter::openSpan(const librevenge::RVNGPropertyList& propList)
{
    if (!Writing())
        return;
    body_ += '{';
    ++openSpans_;
    AppendControl(body_, "f", FontIndex(propList));
    if (const auto size = HalfPoints(propList["fo:font-size"])) {
        AppendControl(body_, "fs", *size);
        lastHalfPoints_ = *size;
    }
    const std::string weight = Text(propList["fo:font-weight"]);
    if (weight == "bold" || (weight.size() == 3 && weight >= "600" && weight <= "900"))
        body_ += "\\b";
    const std::string style = Text(propList["fo:font-style"]);
    if (style == "italic" || style == "oblique")
        body_ += "\\i";
    const std::string underline = Text(propList["style:text-underline-type"]);
    if (!underline.empty() && underline != "none")
        body_ += "\\ul";
    const std::string strike = Text(propList["style:text-line-through-type"]);
    if (!strike.empty() && strike != "none")
        body_ += "\\strike";
    if (const auto color = Color(propList["fo:color"]))
        AppendControl(body_, "cf", ColorIndex(*color));
    if (const auto background = Color(propList["fo:background-color"]))
        AppendControl(body_, "cb", ColorIndex(*background));
    body_ += ' ';
    FlushLabel();
}

void RtfDocumentWriter::closeSpan()
{
    if (!Writing() || openSpans_ == 0)
        return;
    body_ += '}';
    --openSpans_;
}

void RtfDocumentWriter::insertTab()
{
    if (!Writing())
        return;
    FlushLabel();
    body_ += "\\tab ";
    lineHasText_ = true;
    Wrote();
}

void RtfDocumentWriter::insertSpace()
{
    if (!Writing())
        return;
    FlushLabel();
    body_ += ' ';
    lineHasText_ = true;
    Wrote();
}

void RtfDocumentWriter::insertText(const librevenge::RVNGString& text)
{
    if (!Writing())
        return;
    FlushLabel();
    WriteText(DecodeUtf8(std::string_view(text.cstr(), text.size())));
    if (!text.empty()) {
        lineHasText_ = true;
        Wrote();
    }
}

void RtfDocumentWriter::insertLineBreak()
{
    if (!Writing())
        return;
    FlushLabel();
    body_ += "\\par\n";
    lineHasText_ = false;
    Wrote();
}

// The reader draws a picture at the top of the current line and leaves the
// pen there; the picture's line is ended by an empty line as high as the
// picture, so the text after it starts below it. The tab before it ends an
// empty line of its own, which keeps the reader from drawing the picture
// back up over blank lines before it.
void RtfDocumentWriter::insertBinaryObject(const librevenge::RVNGPropertyList& propList)
{
    if (!Writing() || !options_.Pictures)
        return;
    const std::string_view keyword = PictureKeyword(Text(propList["librevenge:mime-type"]));
    const librevenge::RVNGProperty* data = propList["office:binary-data"];
    if (keyword.empty() || data == nullptr)
        return;
    const librevenge::RVNGBinaryData bytes(data->getStr());
    const std::int32_t width = std::max(0, Twips(propList["svg:width"]).value_or(0));
    const std::int32_t height = std::max(0, Twips(propList["svg:height"]).value_or(0));
    if (bytes.empty() || width == 0 || height == 0)
        return;
    FlushLabel();
    if (lineHasText_)
        body_ += "\\par\n";
    // The line before ends at its baseline; a third of its size more keeps
    // the picture clear of its descenders.
    body_ += '{';
    AppendControl(body_, "fs", (lastHalfPoints_ + 2) / 3);
    body_ += "\\par}";
    const std::int32_t roomHalfPoints
        = std::clamp((height + kTwipsPerHalfPoint - 1) / kTwipsPerHalfPoint, 1, kLargestHalfPoints);
    body_ += '{';
    AppendControl(body_, "fs", roomHalfPoints);
    body_ += "\\tab {\\pict\\";
    body_ += keyword;
    AppendControl(body_, "picwgoal", width);
    AppendControl(body_, "pichgoal", height);
    AppendControl(body_, "bin", static_cast<std::int32_t>(bytes.size()));
    body_ += ' ';
    body_.append(reinterpret_cast<const char*>(bytes.getDataBuffer()), bytes.size());
    body_ += "}\\par}\n";
    lineHasText_ = false;
    afterPicture_ = true;
}

void RtfDocumentWriter::WriteText(std::u32string_view text)
{
    for (char32_t ch : text)
        AppendCharacter(body_, ch);
}

} // namespace platform
