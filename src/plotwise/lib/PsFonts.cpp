#include "PsFonts.h"

#include "PdfWriter.h"

#include FT_CID_H

#include <algorithm>
#include <cmath>
#include <string_view>

namespace plotwise {
namespace {

// An sfnts string holds at most 65535 bytes, and an even number of them:
// an interpreter takes the last byte of an odd one for padding.
constexpr size_t kLongestSfntsString = 65534;
constexpr size_t kHexBytesPerLine = 40;
constexpr unsigned kGlyphsPerBlock = 256;
// Synthetic italics lean a fifth of the em, as on the other destinations.
constexpr double kObliqueSlant = 0.2;
constexpr int kScaleDecimals = 4;

uint32_t BigEndian(std::string_view bytes, size_t at, size_t size)
{
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = (value << 8) | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0);
    return value;
}

// Where an sfnts string may end: at the start of a table or of a glyph
// within 'glyf', and at the end, in increasing order.
std::vector<size_t> SfntBoundaries(std::string_view sfnt)
{
    std::vector<size_t> boundaries { sfnt.size() };
    const size_t tables = BigEndian(sfnt, 4, 2);
    size_t glyf = 0;
    size_t glyfLength = 0;
    size_t loca = 0;
    size_t locaLength = 0;
    bool longOffsets = false;
    for (size_t i = 0; i < tables && 12 + 16 * (i + 1) <= sfnt.size(); ++i) {
        const size_t record = 12 + 16 * i;
        const std::string_view tag = sfnt.substr(record, 4);
        const size_t offset = BigEndian(sfnt, record + 8, 4);
        const size_t length = BigEndian(sfnt, record + 12, 4);
        if (offset >= sfnt.size())
            continue;
        boundaries.push_back(offset);
        if (tag == "glyf") {
            glyf = offset;
            glyfLength = length;
        } else if (tag == "loca") {
            loca = offset;
            locaLength = length;
        } else if (tag == "head") {
            longOffsets = BigEndian(sfnt, offset + 50, 2) != 0;
        }
    }
    if (glyf && loca) {
        const size_t entry = longOffsets ? 4 : 2;
        for (size_t at = loca; at + entry <= loca + locaLength && at + entry <= sfnt.size(); at += entry) {
            size_t glyph = BigEndian(sfnt, at, entry) * (longOffsets ? 1 : 2);
            if (glyph < glyfLength)
                boundaries.push_back(glyf + glyph);
        }
    }
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
    return boundaries;
}

void AppendHexLines(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '<';
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % kHexBytesPerLine == 0)
            out += '\n';
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    out += '>';
}

// The sfnts array: strings that end at even table or glyph boundaries where
// one falls within the longest string, and at the longest string otherwise.
void AppendSfnts(std::string& out, std::string_view sfnt)
{
    const std::vector<size_t> boundaries = SfntBoundaries(sfnt);
    out += "/sfnts[\n";
    size_t start = 0;
    while (start < sfnt.size()) {
        size_t end = std::min(sfnt.size(), start + kLongestSfntsString);
        auto last = std::upper_bound(boundaries.begin(), boundaries.end(), end);
        while (last != boundaries.begin()) {
            --last;
            if (*last <= start)
                break;
            if (*last % 2 == 0 || *last == sfnt.size()) {
                end = *last;
                break;
            }
        }
        AppendHexLines(out, sfnt.substr(start, end - start));
        out += '\n';
        start = end;
    }
    out += "]def\n";
}

// The name of the first font of a CFF program, from its Name INDEX.
std::string CffFontName(std::string_view cff)
{
    const size_t header = BigEndian(cff, 2, 1);
    const size_t count = BigEndian(cff, header, 2);
    const size_t offSize = BigEndian(cff, header + 2, 1);
    if (count == 0 || offSize < 1 || offSize > 4)
        return {};
    const size_t offsets = header + 3;
    const size_t data = offsets + (count + 1) * offSize - 1;
    const size_t first = BigEndian(cff, offsets, offSize);
    const size_t second = BigEndian(cff, offsets + offSize, offSize);
    if (first < 1 || second <= first || data + second > cff.size())
        return {};
    std::string name(cff.substr(data + first, second - first));
    for (char c : name) {
        if (c <= ' ' || c >= 0x7F || std::string_view("()<>[]{}/%").find(c) != std::string_view::npos)
            return {};
    }
    return name;
}

bool MapsToText(char32_t character)
{
    return character != 0 && character <= 0x10FFFF && !(character >= 0xD800 && character <= 0xDFFF);
}

// The glyph's name in a name-keyed CFF program.
std::string GlyphName(const PsFontSet::FaceEntry& entry, unsigned glyph)
{
    char name[64] = {};
    if (FT_Get_Glyph_Name(entry.Face->Face, glyph, name, sizeof name) == 0 && name[0])
        return name;
    return ".notdef";
}

// The descendants of a composite font, 256 glyph numbers each, and the
// composite over them; base is the font they re-encode.
void AppendBlocks(std::string& out, const PsFontSet::FaceEntry& entry, const std::string& base)
{
    // The glyph of every code, codes given in the order glyphs were first
    // drawn.
    std::vector<unsigned> glyphs;
    for (unsigned glyph = 0; glyph < entry.Codes.size(); ++glyph) {
        if (entry.Codes[glyph] == kUnusedGlyph)
            continue;
        if (glyphs.size() <= entry.Codes[glyph])
            glyphs.resize(entry.Codes[glyph] + 1, 0);
        glyphs[entry.Codes[glyph]] = glyph;
    }
    // Every descendant names the characters of all glyphs: a converter that
    // finds the same glyphs under another encoding may take the names of
    // the descendant it met first.
    const std::string unicode = entry.Name + ".U";
    out += '/' + unicode + "<<";
    for (unsigned glyph : glyphs) {
        const std::string name = GlyphName(entry, glyph);
        if (name != ".notdef" && MapsToText(entry.Characters[glyph])) {
            out += '/' + name;
            AppendUtf16Hex(out, entry.Characters[glyph]);
        }
    }
    out += ">>def\n";
    const size_t blocks = std::max<size_t>(1, (glyphs.size() + kGlyphsPerBlock - 1) / kGlyphsPerBlock);
    for (size_t block = 0; block < blocks; ++block) {
        out += '/' + entry.Name + '.' + std::to_string(block) + '/' + base + "<<";
        for (size_t code = block * kGlyphsPerBlock; code < std::min(glyphs.size(), (block + 1) * kGlyphsPerBlock);
             ++code) {
            AppendInteger(out, static_cast<int64_t>(code % kGlyphsPerBlock));
            out += '/' + GlyphName(entry, glyphs[code]) + ' ';
        }
        out += ">>" + unicode + " Blk\n";
    }
    out += '/' + entry.Name + "<</FontType 0/FMapType 2/FontMatrix[1 0 0 1 0 0]/Encoding[";
    for (size_t block = 0; block < blocks; ++block) {
        AppendInteger(out, static_cast<int64_t>(block));
        out += ' ';
    }
    out += "]/FDepVector[";
    for (size_t block = 0; block < blocks; ++block)
        out += '/' + entry.Name + '.' + std::to_string(block) + " findfont ";
    out += "]>>definefont pop\n";
}

// The Unicode of every drawn glyph by its code, as GlyphNames2Unicode has
// it for a CIDFont.
void AppendCodeCharacters(std::string& out, const PsFontSet::FaceEntry& entry)
{
    out += "/FontInfo<</GlyphNames2Unicode<<";
    for (size_t glyph = 0; glyph < entry.Codes.size(); ++glyph) {
        if (entry.Codes[glyph] != kUnusedGlyph && MapsToText(entry.Characters[glyph])) {
            AppendInteger(out, entry.Codes[glyph]);
            AppendUtf16Hex(out, entry.Characters[glyph]);
        }
    }
    out += ">>>>def\n";
}

// A TrueType subset as a CIDFont of Type 42 outlines whose CIDs are the
// face's glyph numbers: CIDMap gives each the subset's own.
void AppendType42(std::string& out, const PsFontSet::FaceEntry& entry, const std::string& name,
    const std::string& program, const std::vector<uint32_t>& newGlyphs)
{
    const FT_Face ft = entry.Face->Face;
    const double unitsPerEm = entry.Face->UnitsPerEm > 0 ? entry.Face->UnitsPerEm : 1000;
    size_t count = 1;
    for (size_t glyph = 0; glyph < entry.Codes.size(); ++glyph) {
        if (entry.Codes[glyph] != kUnusedGlyph)
            count = glyph + 1;
    }
    out += "%%BeginResource: CIDFont " + name + "\n20 dict begin\n/CIDFontName/" + name
        + " def/CIDFontType 2 def/FontType 42 def/PaintType 0 def/FontMatrix[1 0 0 1 0 0]def\n"
          "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>def\n/FontBBox[";
    for (long value : { ft->bbox.xMin, ft->bbox.yMin, ft->bbox.xMax, ft->bbox.yMax }) {
        AppendReal(out, static_cast<double>(value) / unitsPerEm, 3);
        out += ' ';
    }
    out += "]def/CharStrings 1 dict dup begin/.notdef 0 def end def\n/CIDCount ";
    AppendInteger(out, static_cast<int64_t>(count));
    out += " def/GDBytes 2 def/CIDMap[\n";
    std::string map;
    for (size_t glyph = 0; glyph < count; ++glyph) {
        const uint32_t mapped = entry.Codes[glyph] != kUnusedGlyph && glyph < newGlyphs.size() ? newGlyphs[glyph] : 0;
        map += static_cast<char>(mapped >> 8);
        map += static_cast<char>(mapped & 0xFF);
    }
    for (size_t start = 0; start < map.size(); start += kLongestSfntsString) {
        AppendHexLines(out, std::string_view(map).substr(start, kLongestSfntsString));
        out += '\n';
    }
    out += "]def\n";
    AppendCodeCharacters(out, entry);
    AppendSfnts(out, program);
    out += "CIDFontName currentdict end/CIDFont defineresource pop\n%%EndResource\n/" + entry.Name + "/Identity-H[/"
        + name + "/CIDFont findresource]composefont pop\n";
}

// A CFF program as a FontSet resource: its font is defined under the
// program's own name.
void AppendFontSet(std::string& out, const std::string& resource, const std::string& program)
{
    std::string start = '/' + resource + ' ' + std::to_string(program.size()) + " StartData ";
    out += "%%BeginResource: FontSet " + resource + "\n/FontSetInit/ProcSet findresource begin\n%%BeginData: "
        + std::to_string(start.size() + program.size()) + " Binary Bytes\n" + start;
    out += program;
    out += "\n%%EndData\n%%EndResource\n";
}

} // namespace

const char kPostScriptProcedures[] = "/PlotwiseDict 30 dict def PlotwiseDict begin\n"
                                     "/m/moveto load def/l/lineto load def/c/curveto load def\n"
                                     "/re{4 2 roll moveto 1 index 0 rlineto 0 exch rlineto neg 0 rlineto "
                                     "closepath}bind def\n"
                                     "/f/fill load def/S/stroke load def/B{gsave fill grestore stroke}bind def\n"
                                     "/q/gsave load def/Q/grestore load def/W{clip newpath}bind def\n"
                                     "/rg/setrgbcolor load def/w/setlinewidth load def/x/xshow load def\n"
                                     "/cm{6 array astore concat}bind def\n"
                                     // Pg -: runs the drawing that follows, ASCII85 over Flate
                                     "/Pg{currentfile/ASCII85Decode filter dup/FlateDecode filter cvx exec"
                                     " flushfile}bind def\n"
                                     // dict Img -: an image whose data, ASCII85 over Flate, follows
                                     "/Img{currentfile/ASCII85Decode filter dup/FlateDecode filter 3 -1 roll"
                                     " dup/DataSource 4 -1 roll put image flushfile}bind def\n"
                                     // name base <<code /glyph ...>> <<glyph <utf16> ...>> Blk -
                                     "/Blk{4 dict begin/U exch def/P exch def findfont dup length 2 add dict begin\n"
                                     "{1 index/FID ne{def}{pop pop}ifelse}forall\n"
                                     "/Encoding 256 array def 0 1 255{Encoding exch/.notdef put}for\n"
                                     "P{Encoding 3 1 roll put}forall\n"
                                     "/FontInfo currentdict/FontInfo known{FontInfo dup length 1 add dict copy}"
                                     "{1 dict}ifelse dup/GlyphNames2Unicode U put def\n"
                                     "currentdict end end definefont pop}bind def\n"
                                     // name cidfont <<cid <utf16> ...>> Cid -: a copy naming its characters
                                     "/Cid{3 dict begin/U exch def/CIDFont findresource dup length 2 add dict begin\n"
                                     "{1 index/FID ne{def}{pop pop}ifelse}forall\n"
                                     "/FontInfo currentdict/FontInfo known{FontInfo dup length 1 add dict copy}"
                                     "{1 dict}ifelse dup/GlyphNames2Unicode U put def\n"
                                     "currentdict end end/CIDFont defineresource pop}bind def\n"
                                     // name Missing -: a composite font that shows nothing
                                     "/Missing{<</FontType 0/FMapType 2/FontMatrix[1 0 0 1 0 0]/Encoding[256{0}repeat]"
                                     "/FDepVector[/PlotwiseNothing<</FontType 3/FontMatrix[1 0 0 1 0 0]"
                                     "/FontBBox[0 0 0 0]/Encoding[256{/.notdef}repeat]"
                                     "/BuildChar{pop pop 0 0 setcharwidth}>>definefont]>>definefont pop}bind def\n"
                                     "end\n";

PsFontSet::SizeEntry* PsFontSet::Use(const FontFace& face, const Font& font)
{
    const auto key = std::make_tuple(&face, font.EmSize(), font.SyntheticItalic());
    auto found = bySize_.find(key);
    if (found != bySize_.end())
        return found->second;
    auto known = byFace_.find(&face);
    FaceEntry* owner = known == byFace_.end() ? nullptr : known->second;
    if (!owner) {
        auto entry = std::make_unique<FaceEntry>();
        entry->Face = &face;
        entry->Kind = ProgramOf(face);
        if (entry->Kind != FontProgram::None) {
            const size_t glyphs = static_cast<size_t>(std::max<FT_Long>(face.Face->num_glyphs, 1));
            entry->Codes.assign(glyphs, kUnusedGlyph);
            entry->Characters.assign(glyphs, 0);
            entry->Name = "T" + std::to_string(faces_.size() + 1);
        }
        owner = entry.get();
        faces_.push_back(std::move(entry));
        byFace_.emplace(&face, owner);
    }
    SizeEntry* result = nullptr;
    if (owner->Kind != FontProgram::None) {
        auto size = std::make_unique<SizeEntry>();
        size->Owner = owner;
        size->Em = font.EmSize();
        size->Slanted = font.SyntheticItalic();
        size->Name = "F" + std::to_string(sizes_.size() + 1);
        result = size.get();
        sizes_.push_back(std::move(size));
    }
    bySize_.emplace(key, result);
    return result;
}

uint32_t PsFontSet::UseGlyph(SizeEntry& size, unsigned glyph, char32_t character)
{
    FaceEntry& owner = *size.Owner;
    if (glyph >= owner.Codes.size())
        glyph = 0;
    uint32_t& code = owner.Codes[glyph];
    if (code == kUnusedGlyph) {
        code = glyph;
        if (owner.Kind == FontProgram::CidKeyedCff) {
            FT_UInt cid = 0;
            code = FT_Get_CID_From_Glyph_Index(owner.Face->Face, glyph, &cid) == 0 ? cid : 0;
        } else if (owner.Kind == FontProgram::NameKeyedCff) {
            // Numbered as drawn, so that the glyphs of most documents fit in
            // one descendant of 256.
            code = owner.NextCode++;
        }
        owner.Characters[glyph] = character;
    }
    return code & 0xFFFF;
}

bool PsFontSet::HasBinary() const
{
    return std::any_of(faces_.begin(), faces_.end(), [](const auto& face) {
        return face->Kind == FontProgram::CidKeyedCff || face->Kind == FontProgram::NameKeyedCff;
    });
}

void PsFontSet::AppendDefinitions(std::string& out) const
{
    for (const auto& face : faces_) {
        if (face->Kind == FontProgram::None)
            continue;
        std::vector<uint32_t> newGlyphs;
        const std::string program
            = SubsetProgram(*face->Face, face->Kind, face->Codes, CffWrapping::Bare, newGlyphs);
        const std::string postScriptName = PostScriptName(*face->Face);
        const std::string name = SubsetTag(postScriptName, face->Codes) + "+" + postScriptName;
        const std::string cffName = face->Kind == FontProgram::TrueType ? std::string() : CffFontName(program);
        if (program.empty() || (face->Kind != FontProgram::TrueType && cffName.empty())) {
            out += '/' + face->Name + " Missing\n";
            continue;
        }
        if (face->Kind == FontProgram::TrueType) {
            AppendType42(out, *face, name, program, newGlyphs);
        } else if (face->Kind == FontProgram::NameKeyedCff) {
            AppendFontSet(out, name, program);
            AppendBlocks(out, *face, cffName);
        } else {
            AppendFontSet(out, name, program);
            out += '/' + face->Name + ".C/" + cffName + "<<";
            for (size_t glyph = 0; glyph < face->Codes.size(); ++glyph) {
                if (face->Codes[glyph] != kUnusedGlyph && MapsToText(face->Characters[glyph])) {
                    AppendInteger(out, face->Codes[glyph]);
                    AppendUtf16Hex(out, face->Characters[glyph]);
                }
            }
            out += ">>Cid\n/" + face->Name + "/Identity-H[/" + face->Name + ".C/CIDFont findresource]composefont pop\n";
        }
    }
    for (const auto& size : sizes_) {
        out += '/' + size->Name + '/' + size->Owner->Name + " findfont[";
        AppendReal(out, size->Em, kScaleDecimals);
        out += " 0 ";
        AppendReal(out, size->Slanted ? kObliqueSlant * size->Em : 0, kScaleDecimals);
        out += ' ';
        AppendReal(out, -size->Em, kScaleDecimals);
        out += " 0 0]makefont def\n";
    }
}

} // namespace plotwise
