#include "PdfFonts.h"

#include FT_TRUETYPE_TABLES_H
#include FT_CID_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace plotwise {
namespace {

constexpr int kThousandths = 1000;
constexpr size_t kMaximumBfCharEntries = 100; // per block, as CMap readers require
constexpr size_t kMaximumWidthRun = 512; // widths in one run of the W array
constexpr int kWidthDecimals = 3;
constexpr double kWidthScale = 1000.0; // ten to the kWidthDecimals

// Symbolic and nonsymbolic font descriptor flags.
constexpr int kFlagFixedPitch = 1 << 0;
constexpr int kFlagSymbolic = 1 << 2;
constexpr int kFlagNonsymbolic = 1 << 5;
constexpr int kFlagItalic = 1 << 6;

int32_t Thousandths(const FontFace& face, long fontUnits)
{
    int unitsPerEm = face.UnitsPerEm > 0 ? face.UnitsPerEm : kThousandths;
    return static_cast<int32_t>(std::lround(static_cast<double>(fontUnits) * kThousandths / unitsPerEm));
}

void AppendReference(std::string& out, int object)
{
    AppendInteger(out, object);
    out += " 0 R";
}

std::string ToUnicodeMap(const PdfFontSet::FaceEntry& entry)
{
    std::vector<std::pair<uint32_t, char32_t>> mapped;
    // Glyph 0 is the missing-glyph box, which stands for no character.
    for (size_t glyph = 1; glyph < entry.Codes.size(); ++glyph) {
        char32_t character = entry.Characters[glyph];
        if (entry.Codes[glyph] != PdfFontSet::kUnused && character <= 0x10FFFF
            && !(character >= 0xD800 && character <= 0xDFFF))
            mapped.emplace_back(entry.Codes[glyph], character);
    }
    std::sort(mapped.begin(), mapped.end());
    std::string map = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                      "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    for (size_t start = 0; start < mapped.size(); start += kMaximumBfCharEntries) {
        size_t end = std::min(mapped.size(), start + kMaximumBfCharEntries);
        AppendInteger(map, static_cast<int64_t>(end - start));
        map += " beginbfchar\n";
        for (size_t i = start; i < end; ++i) {
            AppendUtf16Hex(map, mapped[i].first);
            AppendUtf16Hex(map, mapped[i].second);
            map += '\n';
        }
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return map;
}

// The W array: runs of consecutive codes with their widths.
std::string WidthArray(const PdfFontSet::SizeEntry& size)
{
    std::vector<std::pair<uint32_t, double>> widths;
    for (size_t glyph = 0; glyph < size.Widths.size(); ++glyph) {
        if (size.Widths[glyph] >= 0)
            widths.emplace_back(size.Owner->Codes[glyph], size.Widths[glyph]);
    }
    std::sort(widths.begin(), widths.end());
    std::string out = "[";
    size_t at = 0;
    while (at < widths.size()) {
        AppendInteger(out, widths[at].first);
        out += '[';
        size_t run = 0;
        do {
            if (run > 0)
                out += ' ';
            AppendReal(out, widths[at].second, kWidthDecimals);
            ++at;
            ++run;
        } while (at < widths.size() && widths[at].first == widths[at - 1].first + 1 && run < kMaximumWidthRun);
        out += ']';
    }
    out += ']';
    return out;
}

} // namespace

PdfFontSet::PdfFontSet(PdfFile& pdf)
    : pdf_(pdf)
{
}

PdfFontSet::FaceEntry& PdfFontSet::UseFace(const FontFace& face)
{
    auto found = byFace_.find(&face);
    if (found != byFace_.end())
        return *found->second;
    auto entry = std::make_unique<FaceEntry>();
    entry->Face = &face;
    entry->Kind = ProgramOf(face);
    if (entry->Kind != Program::None) {
        size_t glyphs = static_cast<size_t>(std::max<FT_Long>(face.Face->num_glyphs, 1));
        entry->Codes.assign(glyphs, kUnused);
        entry->Characters.assign(glyphs, 0);
        entry->Descriptor = pdf_.Reserve();
        entry->ToUnicode = pdf_.Reserve();
    }
    FaceEntry& result = *entry;
    faces_.push_back(std::move(entry));
    byFace_.emplace(&face, &result);
    return result;
}

PdfFontSet::SizeEntry* PdfFontSet::Use(const FontFace& face, const Font& font)
{
    auto found = bySize_.find({ &face, font.EmSize() });
    if (found != bySize_.end())
        return found->second;
    FaceEntry& owner = UseFace(face);
    SizeEntry* result = nullptr;
    if (owner.Kind != Program::None) {
        auto size = std::make_unique<SizeEntry>();
        size->Owner = &owner;
        size->Em = font.EmSize();
        size->Object = pdf_.Reserve();
        size->ResourceName = "F" + std::to_string(sizes_.size() + 1);
        size->Widths.assign(owner.Codes.size(), -1);
        result = size.get();
        sizes_.push_back(std::move(size));
    }
    bySize_.emplace(std::make_pair(&face, font.EmSize()), result);
    return result;
}

uint32_t PdfFontSet::UseGlyph(SizeEntry& size, const Font& font, unsigned glyph, char32_t character, double& width)
{
    FaceEntry& owner = *size.Owner;
    if (glyph >= owner.Codes.size())
        glyph = 0;
    uint32_t& code = owner.Codes[glyph];
    if (code == kUnused) {
        code = glyph;
        if (owner.Kind == Program::CidKeyedCff) {
            FT_UInt cid = 0;
            code = FT_Get_CID_From_Glyph_Index(owner.Face->Face, glyph, &cid) == 0 ? cid : 0;
        }
        owner.Characters[glyph] = character;
    }
    double& declared = size.Widths[glyph];
    if (declared < 0) {
        // The width the text was measured with, to the precision written.
        double exact = font.Scale(*owner.Face, owner.Face->Advance(glyph)) * 1000.0 / size.Em;
        declared = std::round(std::max(0.0, exact) * kWidthScale) / kWidthScale;
    }
    width = declared;
    return code;
}

void PdfFontSet::AppendResources(std::string& out) const
{
    for (const auto& size : sizes_) {
        out += '/';
        out += size->ResourceName;
        out += ' ';
        AppendReference(out, size->Object);
    }
}

bool PdfFontSet::WriteAll()
{
    for (const auto& face : faces_) {
        if (face->Kind == Program::None)
            continue;
        // The subset's name and glyph map, shared by every size of the face.
        std::string name;
        std::string cidToGid;
        if (!WriteFace(*face, name, cidToGid))
            return false;
        for (const auto& size : sizes_) {
            if (size->Owner == face.get() && !WriteSize(*size, name, cidToGid))
                return false;
        }
    }
    return true;
}

bool PdfFontSet::WriteFace(FaceEntry& entry, std::string& name, std::string& cidToGid)
{
    const FontFace& face = *entry.Face;
    FT_Face ft = face.Face;
    std::vector<uint32_t> newGlyphs;
    std::string program = SubsetProgram(face, entry.Kind, entry.Codes, CffWrapping::OpenTypeUnlessCidKeyed, newGlyphs);
    int file = program.empty() ? 0 : pdf_.Reserve();
    const std::string postScriptName = PostScriptName(face);
    name = "/" + SubsetTag(postScriptName, entry.Codes) + "+" + postScriptName;

    int flags = face.SymbolCmap ? kFlagSymbolic : kFlagNonsymbolic;
    if (FT_IS_FIXED_WIDTH(ft))
        flags |= kFlagFixedPitch;
    if (ft->style_flags & FT_STYLE_FLAG_ITALIC)
        flags |= kFlagItalic;
    double italicAngle = 0;
    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST)))
        italicAngle = static_cast<double>(post->italicAngle) / 65536.0;
    long capHeight = ft->ascender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        os2 && os2->version >= 2 && os2->sCapHeight > 0)
        capHeight = os2->sCapHeight;
    std::string descriptor = "<</Type/FontDescriptor/FontName" + name + "/Flags ";
    AppendInteger(descriptor, flags);
    descriptor += "/FontBBox[";
    for (long value : { ft->bbox.xMin, ft->bbox.yMin, ft->bbox.xMax, ft->bbox.yMax }) {
        AppendInteger(descriptor, Thousandths(face, value));
        descriptor += ' ';
    }
    descriptor.back() = ']';
    descriptor += "/ItalicAngle ";
    AppendReal(descriptor, italicAngle, 2);
    descriptor += "/Ascent ";
    AppendInteger(descriptor, Thousandths(face, ft->ascender));
    descriptor += "/Descent ";
    AppendInteger(descriptor, Thousandths(face, ft->descender));
    descriptor += "/CapHeight ";
    AppendInteger(descriptor, Thousandths(face, capHeight));
    descriptor += "/StemV 80";
    if (file) {
        descriptor += entry.Kind == Program::TrueType ? "/FontFile2 " : "/FontFile3 ";
        AppendReference(descriptor, file);
    }
    descriptor += ">>";
    if (!pdf_.WriteObject(entry.Descriptor, descriptor)
        || !pdf_.WriteStream(entry.ToUnicode, "", ToUnicodeMap(entry), StreamData::Compressed))
        return false;
    if (file) {
        std::string dictionary;
        if (entry.Kind == Program::TrueType) {
            dictionary = "/Length1 ";
            AppendInteger(dictionary, static_cast<int64_t>(program.size()));
        } else {
            dictionary = entry.Kind == Program::CidKeyedCff ? "/Subtype/CIDFontType0C" : "/Subtype/OpenType";
        }
        if (!pdf_.WriteStream(file, std::move(dictionary), std::move(program), StreamData::Compressed))
            return false;
    }
    if (entry.Kind == Program::TrueType) {
        if (newGlyphs.empty()) {
            cidToGid = "/CIDToGIDMap/Identity";
            return true;
        }
        // Two bytes per code, up to the highest code drawn.
        size_t last = 0;
        for (size_t glyph = 0; glyph < entry.Codes.size(); ++glyph) {
            if (entry.Codes[glyph] != kUnused)
                last = glyph;
        }
        std::string map(2 * (last + 1), '\0');
        for (size_t glyph = 0; glyph <= last; ++glyph) {
            map[2 * glyph] = static_cast<char>(newGlyphs[glyph] >> 8);
            map[2 * glyph + 1] = static_cast<char>(newGlyphs[glyph] & 0xFF);
        }
        int object = pdf_.Reserve();
        if (!pdf_.WriteStream(object, "", std::move(map), StreamData::Compressed))
            return false;
        cidToGid = "/CIDToGIDMap ";
        AppendReference(cidToGid, object);
    }
    return true;
}

bool PdfFontSet::WriteSize(const SizeEntry& size, const std::string& name, const std::string& cidToGid)
{
    const FaceEntry& owner = *size.Owner;
    int descendant = pdf_.Reserve();
    std::string type0 = "<</Type/Font/Subtype/Type0/BaseFont" + name + "/Encoding/Identity-H/DescendantFonts[";
    AppendReference(type0, descendant);
    type0 += "]/ToUnicode ";
    AppendReference(type0, owner.ToUnicode);
    type0 += ">>";
    std::string cidFont = "<</Type/Font/Subtype/";
    cidFont += owner.Kind == Program::TrueType ? "CIDFontType2" : "CIDFontType0";
    cidFont += "/BaseFont" + name + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>";
    cidFont += "/FontDescriptor ";
    AppendReference(cidFont, owner.Descriptor);
    cidFont += "/W";
    cidFont += WidthArray(size);
    cidFont += cidToGid;
    cidFont += ">>";
    return pdf_.WriteObject(size.Object, type0) && pdf_.WriteObject(descendant, cidFont);
}

} // namespace plotwise
