#include "Fonts.h"

#include "FontConfigSetup.h"
#include "FontMatchCache.h"

#include <fontconfig/fontconfig.h>
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace plotwise {
namespace {

// The em size of a font whose LOGFONTW gives no height.
constexpr double kDefaultEmSize = 16;
constexpr int32_t kMaximumEmSize = 1 << 20;

FT_Library FreeTypeLibrary()
{
    static FT_Library library = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0)
            return static_cast<FT_Library>(nullptr);
        return created;
    }();
    return library;
}

std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>>& OpenFaces()
{
    static std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>> faces;
    return faces;
}

struct CharsetLanguage {
    uint8_t CharSet;
    const char* Language;
};

constexpr CharsetLanguage kCharsetLanguages[] = {
    { 128, "ja" },
    { 129, "ko" },
    { 134, "zh-cn" },
    { 136, "zh-tw" },
    { 161, "el" },
    { 162, "tr" },
    { 163, "vi" },
    { 177, "he" },
    { 178, "ar" },
    { 186, "lt" },
    { 204, "ru" },
    { 222, "th" },
    { 238, "cs" },
};

// Faces that stand for one Far-East character set: they cover that
// language and not English.
constexpr CharsetLanguage kFarEastCharsets[] = { { 128, "ja" }, { 129, "ko" }, { 134, "zh-cn" }, { 136, "zh-tw" } };

const char* GenericFamily(uint8_t pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case 0x10:
        return "serif";
    case 0x20:
        return "sans-serif";
    case 0x30:
        return "monospace";
    case 0x40:
        return "cursive";
    case 0x50:
        return "fantasy";
    default:
        return (pitchAndFamily & 0x03) == 1 ? "monospace" : "sans-serif";
    }
}

uint8_t CharSetOfPattern(FcPattern* pattern)
{
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) == FcResultMatch && charset
        && !FcCharSetHasChar(charset, 'A') && FcCharSetCount(charset) > 0)
        return SYMBOL_CHARSET;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &langs) != FcResultMatch || !langs)
        return ANSI_CHARSET;
    if (FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("en")) == FcLangEqual)
        return ANSI_CHARSET;
    for (const CharsetLanguage& entry : kFarEastCharsets) {
        if (FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>(entry.Language)) == FcLangEqual)
            return entry.CharSet;
    }
    return ANSI_CHARSET;
}

std::string PatternFamily(FcPattern* pattern)
{
    FcChar8* family = nullptr;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch && family)
        return reinterpret_cast<const char*>(family);
    return {};
}

bool PatternFixedPitch(FcPattern* pattern)
{
    int spacing = FC_PROPORTIONAL;
    return FcPatternGetInteger(pattern, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_MONO;
}

// True for the outline formats the PDF writer embeds (TrueType and CFF, in
// an OpenType file or bare); text in any other (Type 1, say) could only be
// drawn as shapes, which no reader can search or copy.
bool EmbeddableFormat(FcPattern* font)
{
    FcChar8* format = nullptr;
    if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch || !format)
        return true;
    const std::string_view name(reinterpret_cast<const char*>(format));
    return name == "TrueType" || name == "CFF";
}

// The best match itself when the PDF writer can embed it; otherwise the
// nearest face it can embed, of the same family first (a Type 1 font is
// often installed beside its OpenType twin), else the next fontconfig
// offers in its place.
FcPattern* PreferEmbeddable(FcPattern* pattern, FcPattern* matched)
{
    if (EmbeddableFormat(matched))
        return matched;
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    if (!sorted)
        return matched;
    const std::string family = PatternFamily(matched);
    FcPattern* sameFamily = nullptr;
    FcPattern* nearest = nullptr;
    for (int i = 0; i < sorted->nfont && !sameFamily; ++i) {
        FcPattern* candidate = sorted->fonts[i];
        if (!EmbeddableFormat(candidate))
            continue;
        if (PatternFamily(candidate) == family)
            sameFamily = candidate;
        else if (!nearest)
            nearest = candidate;
    }
    FcPattern* chosen = sameFamily ? sameFamily : nearest;
    FcPattern* prepared = chosen ? FcFontRenderPrepare(nullptr, pattern, chosen) : nullptr;
    FcFontSetDestroy(sorted);
    if (!prepared)
        return matched;
    FcPatternDestroy(matched);
    return prepared;
}

// What the library asks fontconfig for: the families in order of
// preference, a weight and slant, the languages the face must cover, and a
// character it must have (0 for none).
struct FaceRequest {
    std::vector<std::string> Families;
    int Weight = FC_WEIGHT_REGULAR;
    int Slant = FC_SLANT_ROMAN;
    std::vector<std::string> Languages;
    char32_t Character = 0;
};

// The request as the cache of matches knows it.
std::string RequestKey(const FaceRequest& request)
{
    std::string key;
    for (const std::string& family : request.Families)
        key += family + '\x1f';
    key += "weight=" + std::to_string(request.Weight) + " slant=" + std::to_string(request.Slant);
    for (const std::string& language : request.Languages)
        key += " lang=" + language;
    if (request.Character)
        key += " char=" + std::to_string(static_cast<uint32_t>(request.Character));
    return key;
}

FcPattern* RequestPattern(const FaceRequest& request)
{
    FcPattern* pattern = FcPatternCreate();
    for (const std::string& family : request.Families)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Weight);
    FcPatternAddInteger(pattern, FC_SLANT, request.Slant);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    for (const std::string& language : request.Languages)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language.c_str()));
    if (request.Character) {
        FcCharSet* wanted = FcCharSetCreate();
        FcCharSetAddChar(wanted, request.Character);
        FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
        FcCharSetDestroy(wanted);
    }
    return pattern;
}

struct MatchState {
    std::unique_ptr<FontMatchCache> Cache;
    int FontConfigLookups = 0;
};

MatchState& Matches()
{
    static MatchState state;
    if (!state.Cache)
        state.Cache = std::make_unique<FontMatchCache>(FontMatchCache::UserFile(), FontConfigContext());
    return state;
}

// fontconfig's answer for a request, after its substitutions and the
// preference for faces the PDF writer can embed.
std::optional<FaceMatch> AskFontConfig(const FaceRequest& request)
{
    EnsureFontConfig();
    ++Matches().FontConfigLookups;
    FcPattern* pattern = RequestPattern(request);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(nullptr, pattern, &result);
    if (matched)
        matched = PreferEmbeddable(pattern, matched);
    FcPatternDestroy(pattern);
    if (!matched)
        return std::nullopt;
    std::optional<FaceMatch> answer;
    FcChar8* file = nullptr;
    if (FcPatternGetString(matched, FC_FILE, 0, &file) == FcResultMatch && file) {
        FaceMatch match;
        match.File = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(matched, FC_INDEX, 0, &match.Index);
        match.Family = PatternFamily(matched);
        match.Weight = FC_WEIGHT_REGULAR;
        match.Slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(matched, FC_WEIGHT, 0, &match.Weight);
        FcPatternGetInteger(matched, FC_SLANT, 0, &match.Slant);
        FcBool embolden = FcFalse;
        FcPatternGetBool(matched, FC_EMBOLDEN, 0, &embolden);
        match.Embolden = embolden;
        match.CharSet = CharSetOfPattern(matched);
        match.FixedPitch = PatternFixedPitch(matched);
        FcChar8* format = nullptr;
        if (FcPatternGetString(matched, FC_FONTFORMAT, 0, &format) == FcResultMatch && format)
            match.Format = reinterpret_cast<const char*>(format);
        answer = std::move(match);
    }
    FcPatternDestroy(matched);
    return answer;
}

std::shared_ptr<FontFace> OpenMatch(const FaceMatch& match)
{
    std::shared_ptr<FontFace> face = OpenFontFace(match.File, match.Index);
    if (face && face->Family.empty()) {
        face->Family = match.Family;
        face->CharSet = match.CharSet;
        face->FixedPitch = match.FixedPitch;
    }
    return face;
}

// The face for a request and what was matched: from the cache of matches
// while it holds the request and its file still opens, else from
// fontconfig, whose answer the cache then keeps.
std::shared_ptr<FontFace> MatchFace(const FaceRequest& request, FaceMatch* matchOut)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    const std::string key = RequestKey(request);
    std::optional<FaceMatch> match = Matches().Cache->Find(key);
    std::shared_ptr<FontFace> face = match ? OpenMatch(*match) : nullptr;
    if (!face) {
        match = AskFontConfig(request);
        face = match ? OpenMatch(*match) : nullptr;
        if (face)
            Matches().Cache->Store(key, *match, WatchedFontConfigPaths());
    }
    if (face && matchOut)
        *matchOut = *match;
    return face;
}

} // namespace

void ResetFontMatches()
{
    Matches().Cache.reset();
    Matches().FontConfigLookups = 0;
}

int FontConfigLookups()
{
    return Matches().FontConfigLookups;
}

unsigned FontFace::GlyphIndex(char32_t character) const
{
    unsigned glyph = FT_Get_Char_Index(Face, character);
    if (glyph == 0 && SymbolCmap && character >= 0x20 && character < 0x100)
        glyph = FT_Get_Char_Index(Face, 0xF000 + character);
    return glyph;
}

int FontFace::Advance(unsigned glyph) const
{
    FT_Fixed advance = 0;
    if (FT_Get_Advance(Face, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return UnitsPerEm / 2;
    return static_cast<int>(advance);
}

std::shared_ptr<FontFace> OpenFontFace(const std::string& file, int index)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto& faces = OpenFaces();
    auto found = faces.find({ file, index });
    if (found != faces.end())
        return found->second;
    FT_Library library = FreeTypeLibrary();
    FT_Face ftFace = nullptr;
    if (!library || FT_New_Face(library, file.c_str(), index, &ftFace) != 0)
        return nullptr;
    if (!FT_IS_SCALABLE(ftFace) || ftFace->units_per_EM == 0) {
        FT_Done_Face(ftFace);
        return nullptr;
    }
    auto face = std::make_shared<FontFace>();
    face->File = file;
    face->Index = index;
    face->Face = ftFace;
    face->UnitsPerEm = ftFace->units_per_EM;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_HHEA));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        face->WinAscent = os2->usWinAscent;
        face->WinDescent = os2->usWinDescent;
        face->AverageWidth = os2->xAvgCharWidth;
        face->StrikeoutPosition = os2->yStrikeoutPosition;
        face->StrikeoutThickness = os2->yStrikeoutSize;
    } else {
        face->WinAscent = ftFace->ascender;
        face->WinDescent = -ftFace->descender;
    }
    if (hhea) {
        // The extra leading of the horizontal header beyond the Windows
        // ascent and descent, as the Windows text metrics report it.
        int hheaHeight = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
        face->LineGap = std::max(0, hheaHeight - (face->WinAscent + face->WinDescent));
    }
    if (face->AverageWidth <= 0) {
        unsigned x = FT_Get_Char_Index(ftFace, 'x');
        face->AverageWidth = x ? face->Advance(x) : face->UnitsPerEm / 2;
    }
    face->UnderlinePosition = ftFace->underline_position;
    face->UnderlineThickness = ftFace->underline_thickness;
    if (face->UnderlineThickness <= 0)
        face->UnderlineThickness = face->UnitsPerEm / 20;
    if (face->StrikeoutThickness <= 0)
        face->StrikeoutThickness = face->UnderlineThickness;
    if (face->StrikeoutPosition <= 0)
        face->StrikeoutPosition = face->WinAscent / 3;
    for (int i = 0; i < ftFace->num_charmaps; ++i) {
        if (ftFace->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL)
            face->SymbolCmap = true;
    }
    if (!ftFace->charmap && face->SymbolCmap)
        FT_Select_Charmap(ftFace, FT_ENCODING_MS_SYMBOL);
    faces[{ file, index }] = face;
    return face;
}

std::shared_ptr<Font> Font::Create(const LOGFONTW& request)
{
    std::shared_ptr<Font> font(new Font());
    font->request_ = request;
    size_t length = 0;
    while (length < LF_FACESIZE && request.lfFaceName[length])
        ++length;
    std::string face = Utf16ToUtf8(std::u16string_view(request.lfFaceName, length));

    FaceRequest wanted;
    if (!face.empty())
        wanted.Families.push_back(face);
    wanted.Families.emplace_back(GenericFamily(request.lfPitchAndFamily));
    int weight = request.lfWeight <= 0 ? FW_NORMAL : std::min(request.lfWeight, 1000);
    font->weight_ = weight;
    wanted.Weight = FcWeightFromOpenType(weight);
    wanted.Slant = request.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
    for (const CharsetLanguage& entry : kCharsetLanguages) {
        if (entry.CharSet == request.lfCharSet)
            wanted.Languages.emplace_back(entry.Language);
    }
    FaceMatch matched;
    font->primary_ = MatchFace(wanted, &matched);
    if (!font->primary_)
        return nullptr;
    font->syntheticBold_ = matched.Embolden || (weight >= FW_SEMIBOLD && matched.Weight < FC_WEIGHT_DEMIBOLD);
    font->syntheticItalic_ = request.lfItalic && matched.Slant == FC_SLANT_ROMAN;
    font->faceName_ = Utf8ToUtf16(matched.Family);

    const FontFace& primary = *font->primary_;
    int32_t height = request.lfHeight;
    if (height == INT32_MIN || std::abs(height) > kMaximumEmSize)
        height = height < 0 ? -kMaximumEmSize : kMaximumEmSize;
    if (height < 0)
        font->em_ = -height;
    else if (height > 0)
        font->em_ = static_cast<double>(height) * primary.UnitsPerEm / (primary.WinAscent + primary.WinDescent);
    else
        font->em_ = kDefaultEmSize;
    font->ascent_ = font->Scale(primary, primary.WinAscent);
    font->descent_ = font->Scale(primary, primary.WinDescent);
    return font;
}

int32_t Font::Scale(const FontFace& face, int fontUnits) const
{
    return static_cast<int32_t>(std::lround(static_cast<double>(fontUnits) * em_ / face.UnitsPerEm));
}

std::shared_ptr<FontFace> Font::FallbackFor(char32_t character)
{
    for (const auto& face : fallbacks_) {
        if (face->GlyphIndex(character))
            return face;
    }
    FaceRequest wanted;
    wanted.Families = { primary_->Family, GenericFamily(request_.lfPitchAndFamily) };
    wanted.Weight = FcWeightFromOpenType(weight_);
    wanted.Slant = request_.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
    wanted.Character = character;
    std::shared_ptr<FontFace> face = MatchFace(wanted, nullptr);
    if (!face || !face->GlyphIndex(character))
        return nullptr;
    fallbacks_.push_back(face);
    return face;
}

PlacedGlyph Font::FindGlyph(char32_t character)
{
    if (character < kCommonCharacters) {
        commonGlyphs_[character] = LookUpGlyph(character);
        return commonGlyphs_[character];
    }
    auto found = otherGlyphs_.find(character);
    if (found != otherGlyphs_.end())
        return found->second;
    PlacedGlyph glyph = LookUpGlyph(character);
    otherGlyphs_.emplace(character, glyph);
    return glyph;
}

PlacedGlyph Font::LookUpGlyph(char32_t character)
{
    const FontFace* face = primary_.get();
    unsigned index = face->GlyphIndex(character);
    // Control characters and unassigned code points never look for another
    // face: they draw the missing-glyph box of the font itself.
    if (index == 0 && character >= 0x20 && character != 0x7F && !(character >= 0xD800 && character < 0xE000)) {
        if (std::shared_ptr<FontFace> fallback = FallbackFor(character)) {
            face = fallback.get();
            index = face->GlyphIndex(character);
        }
    }
    return PlacedGlyph { face, index, Scale(*face, face->Advance(index)) };
}

void Font::FillTextMetrics(TEXTMETRICW& metrics, int32_t dpi) const
{
    const FontFace& face = *primary_;
    metrics = {};
    metrics.tmAscent = ascent_;
    metrics.tmDescent = descent_;
    metrics.tmHeight = ascent_ + descent_;
    metrics.tmInternalLeading = std::max(0, metrics.tmHeight - static_cast<int32_t>(std::lround(em_)));
    metrics.tmExternalLeading = Scale(face, face.LineGap);
    metrics.tmAveCharWidth = Scale(face, face.AverageWidth);
    metrics.tmMaxCharWidth = Scale(face, static_cast<int>(face.Face->max_advance_width));
    metrics.tmWeight = weight_;
    metrics.tmDigitizedAspectX = dpi;
    metrics.tmDigitizedAspectY = dpi;
    metrics.tmFirstChar = 0x20;
    metrics.tmLastChar = 0xFFFC;
    metrics.tmDefaultChar = 0x1F;
    metrics.tmBreakChar = 0x20;
    metrics.tmItalic = request_.lfItalic ? 1 : 0;
    metrics.tmUnderlined = request_.lfUnderline ? 1 : 0;
    metrics.tmStruckOut = request_.lfStrikeOut ? 1 : 0;
    // As in GDI, the low bit set means a variable pitch; 6 = outline font.
    metrics.tmPitchAndFamily
        = static_cast<uint8_t>((request_.lfPitchAndFamily & 0xF0) | (face.FixedPitch ? 0 : 1) | 0x06);
    metrics.tmCharSet = face.CharSet == ANSI_CHARSET ? request_.lfCharSet : face.CharSet;
    if (metrics.tmCharSet == DEFAULT_CHARSET)
        metrics.tmCharSet = ANSI_CHARSET;
}

std::vector<FamilyInfo> InstalledFamilies()
{
    EnsureFontConfig();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_CHARSET, FC_LANG, FC_SPACING, FC_SCALABLE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::map<std::string, FamilyInfo> families;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        std::string family = PatternFamily(font);
        if (family.empty())
            continue;
        FamilyInfo info { family, CharSetOfPattern(font), PatternFixedPitch(font), true };
        FcBool scalable = FcTrue;
        if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch)
            info.Scalable = scalable;
        // The same family listed by several files keeps the description of
        // its first scalable one in name order, so repeated runs agree.
        auto [where, added] = families.emplace(family, info);
        if (!added && !where->second.Scalable && info.Scalable)
            where->second = info;
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    std::vector<FamilyInfo> result;
    for (auto& [name, info] : families)
        result.push_back(info);
    return result;
}

std::vector<FamilyInfo> EnumerableFamilies()
{
    // The handheld's own faces, fixed pitch or not.
    static constexpr std::pair<const char*, bool> kHandheldFaces[] = {
        { "Arial", false },
        { "Courier New", true },
        { "Tahoma", false },
        { "Times New Roman", false },
    };
    std::vector<FamilyInfo> families = InstalledFamilies();
    for (const auto& [face, fixedPitch] : kHandheldFaces) {
        auto sameName = [name = face](const FamilyInfo& family) { return family.Family == name; };
        if (std::none_of(families.begin(), families.end(), sameName))
            families.push_back(FamilyInfo { face, ANSI_CHARSET, fixedPitch, true });
    }
    std::sort(
        families.begin(), families.end(), [](const FamilyInfo& a, const FamilyInfo& b) { return a.Family < b.Family; });
    return families;
}

char* WriteUtf8(char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string result;
    size_t position = 0;
    while (position < text.size()) {
        const char32_t c = NextCharacter(text.data(), text.size(), position);
        char encoded[kMostUtf8Bytes];
        result.append(encoded, WriteUtf8(encoded, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c));
    }
    return result;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string result;
    size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        char32_t c = 0xFFFD;
        int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
            ++i;
        } else {
            c = extra == 0 ? byte : byte & (0x3F >> extra);
            for (int k = 1; k <= extra; ++k)
                c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            i += extra + 1;
        }
        if (c >= 0x10000 && c < 0x110000) {
            c -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (c >> 10));
            result += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            result += static_cast<char16_t>(c < 0x110000 ? c : 0xFFFD);
        }
    }
    return result;
}

} // namespace plotwise
