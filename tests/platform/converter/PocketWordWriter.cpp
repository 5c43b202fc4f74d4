#include "PocketWordWriter.h"

#include <initializer_list>

namespace pocketword {
namespace {

constexpr std::uint16_t kZoneFontTable = 0;
constexpr std::uint16_t kZoneParagraphList = 64;
constexpr std::uint16_t kZoneParagraph = 65;
constexpr std::uint16_t kZoneEnd = 130;

constexpr std::uint16_t kHeaderMarker = 0x0101;
constexpr std::uint16_t kVersion = 6;
constexpr std::size_t kFaceUnits = 32;
constexpr std::uint16_t kFontTableTag = 0x0A;
constexpr std::int16_t kParagraphMarker = -1;
constexpr std::uint8_t kBulleted = 0xFF;

constexpr char kCodeLiteral = '\xC1';
constexpr char kCodeParagraph = '\xC4';
constexpr char kCodeFont = '\xE5';
constexpr char kCodeSize = '\xE6';
constexpr char kCodeColor = '\xE7';
constexpr char kCodeWeight = '\xE8';
constexpr char kCodeItalic = '\xE9';
constexpr char kCodeUnderline = '\xEA';
constexpr char kCodeStrike = '\xEB';
constexpr char kParagraphEnd = '\x00';
constexpr char kTab = '\x04';
constexpr unsigned char kFirstCodeByte = 0xC0;
constexpr std::uint16_t kWeightNormal = 4;
constexpr std::uint16_t kWeightBold = 7;
constexpr std::uint16_t kRed = 4;

void Put16(std::vector<std::uint8_t>& out, std::initializer_list<std::uint16_t> values)
{
    for (std::uint16_t value : values) {
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
}

// A zone: type, id, body length in 4-byte words, then the body padded to a
// 4-byte boundary.
void PutZone(std::vector<std::uint8_t>& out, std::uint16_t type, std::uint16_t id, std::vector<std::uint8_t> body)
{
    while (body.size() % 4 != 0)
        body.push_back(0);
    Put16(out, { type, id, static_cast<std::uint16_t>(body.size() / 4) });
    out.insert(out.end(), body.begin(), body.end());
}

std::string Code16(char code, std::uint16_t value)
{
    return { code, static_cast<char>(value & 0xFF), static_cast<char>(value >> 8) };
}

std::string Code8(char code, bool on)
{
    return { code, on ? '\x01' : '\x00' };
}

// Characters of the paragraph: every byte but the formatting codes and the
// arguments of codes; a literal or a paragraph code counts as one.
std::uint16_t CharacterCount(const std::string& content)
{
    std::uint16_t count = 0;
    for (std::size_t at = 0; at < content.size();) {
        const auto byte = static_cast<unsigned char>(content[at]);
        if (byte >= 0xE5 && byte <= 0xEC) {
            at += byte <= 0xE8 ? 3 : 2;
            continue;
        }
        at += byte == 0xC1 || byte == 0xC4 ? 2 : 1;
        ++count;
    }
    return count;
}

} // namespace

std::vector<std::uint8_t> WritePocketWord(const Document& document)
{
    std::vector<std::uint8_t> out = { '{', '\\', 'p', 'w', 'i', 0x15, 0x00, 0x00 };
    Put16(out, { kHeaderMarker, kVersion, 0 });

    std::uint16_t nextId = 1;
    std::vector<std::uint8_t> fonts;
    Put16(fonts, { 0, kFontTableTag, static_cast<std::uint16_t>(document.Fonts.size()), 0, 0, 0, 0, 0 });
    for (const Font& font : document.Fonts) {
        Put16(fonts, { font.Id, 1, 0, 0, 0, 0, 0, 0 });
        for (std::size_t i = 0; i < kFaceUnits; ++i)
            Put16(fonts, { i < font.Face.size() && i + 1 < kFaceUnits ? font.Face[i] : u'\0' });
    }
    PutZone(out, kZoneFontTable, nextId++, fonts);

    const std::uint16_t listId = nextId++;
    std::vector<std::uint16_t> paragraphIds;
    for (std::size_t i = 0; i < document.Paragraphs.size(); ++i)
        paragraphIds.push_back(nextId++);

    std::vector<std::uint8_t> list;
    // The paragraph count twice, as 32-bit numbers, then four zero words.
    const auto count = static_cast<std::uint16_t>(document.Paragraphs.size());
    Put16(list, { count, 0, count, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    for (std::size_t i = 0; i < document.Paragraphs.size(); ++i)
        Put16(list, { 1, CharacterCount(document.Paragraphs[i].Content), paragraphIds[i], 0 });
    PutZone(out, kZoneParagraphList, listId, list);

    for (std::size_t i = 0; i < document.Paragraphs.size(); ++i) {
        const Paragraph& paragraph = document.Paragraphs[i];
        const std::string content = paragraph.Content + kCodeParagraph + kParagraphEnd;
        std::vector<std::uint8_t> body;
        // Characters, bytes, one line, the marker, no line-layout zone, the indents.
        Put16(body,
            { static_cast<std::uint16_t>(CharacterCount(paragraph.Content) + 1),
                static_cast<std::uint16_t>(content.size()), 1, static_cast<std::uint16_t>(kParagraphMarker), 0, 0,
                static_cast<std::uint16_t>(paragraph.FirstIndent), paragraph.LeftIndent, paragraph.RightIndent });
        body.push_back(paragraph.Bullet ? kBulleted : 0);
        body.push_back(paragraph.Alignment);
        Put16(body, { 0, 0 });
        body.insert(body.end(), content.begin(), content.end());
        PutZone(out, kZoneParagraph, paragraphIds[i], body);
    }
    PutZone(out, kZoneEnd, nextId++, {});
    return out;
}

std::string Text(std::string_view codePageBytes)
{
    std::string out;
    for (char ch : codePageBytes) {
        if (static_cast<unsigned char>(ch) >= kFirstCodeByte)
            out += kCodeLiteral;
        out += ch;
    }
    return out;
}

std::string FontCode(std::uint16_t fontId)
{
    return Code16(kCodeFont, fontId);
}

std::string TabCode()
{
    return { kCodeParagraph, kTab };
}

Document SampleLetter()
{
    const Paragraph title { .Content = FontCode(0) + Code16(kCodeSize, 16) + Code16(kCodeWeight, kWeightBold)
            + Text("Caf\xe9 menu") + Code16(kCodeWeight, kWeightNormal),
        .Alignment = kAlignCentre };
    const Paragraph styles { .Content = Code16(kCodeSize, 10) + Code8(kCodeItalic, true) + Text("slanted")
            + Code8(kCodeItalic, false) + Text(" ") + Code8(kCodeUnderline, true) + Text("under")
            + Code8(kCodeUnderline, false) + Text(" ") + Code8(kCodeStrike, true) + Text("struck")
            + Code8(kCodeStrike, false) + Text(" ") + Code16(kCodeColor, kRed) + Text("red") + Code16(kCodeColor, 0)
            + TabCode() + FontCode(3) + Text("mono"),
        .Alignment = kAlignRight };
    const Paragraph bullet { .Content = FontCode(0) + Text("first point"),
        .FirstIndent = -360,
        .LeftIndent = 720,
        .RightIndent = 1440,
        .Bullet = true };
    return { { { 0, u"Tahoma" }, { 3, u"Courier New" } }, { title, styles, bullet } };
}

} // namespace pocketword
