#include "FontSubset.h"

#include <hb-subset.h>
#include <hb.h>

#include FT_TRUETYPE_TABLES_H
#include FT_CID_H

#include <cstring>
#include <memory>

namespace plotwise {
namespace {

// Tables neither a PDF reader nor a PostScript interpreter looks at in an
// embedded font: dropping them
// keeps the subset small and spares the subsetter most of its work.
constexpr const char* kDroppedTables[] = { "GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern", "morx", "mort",
    "feat", "STAT", "meta", "DSIG", "VORG", "vhea", "vmtx", "HVAR", "VVAR", "MVAR", "name", "post", "cmap", "OS/2",
    "hdmx", "LTSH", "VDMX", "gasp", "PCLT", "EBDT", "EBLC", "EBSC", "CBDT", "CBLC", "sbix", "SVG ", "COLR", "CPAL" };

struct BlobDeleter {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
struct FaceDeleter {
    void operator()(hb_face_t* face) const { hb_face_destroy(face); }
};
struct InputDeleter {
    void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};

struct PlanDeleter {
    void operator()(hb_subset_plan_t* plan) const { hb_subset_plan_destroy(plan); }
};

} // namespace

FontProgram ProgramOf(const FontFace& face)
{
    if (!face.Face || !FT_IS_SFNT(face.Face))
        return FontProgram::None;
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face.Face, FT_MAKE_TAG('g', 'l', 'y', 'f'), 0, nullptr, &length) == 0 && length > 0)
        return FontProgram::TrueType;
    if (FT_Load_Sfnt_Table(face.Face, FT_MAKE_TAG('C', 'F', 'F', ' '), 0, nullptr, &length) == 0 && length > 0) {
        FT_Bool cidKeyed = 0;
        return FT_Get_CID_Is_Internally_CID_Keyed(face.Face, &cidKeyed) == 0 && cidKeyed
            ? FontProgram::CidKeyedCff
            : FontProgram::NameKeyedCff;
    }
    return FontProgram::None;
}

std::string PostScriptName(const FontFace& face)
{
    const char* name = FT_Get_Postscript_Name(face.Face);
    std::string source = name ? name : face.Family;
    std::string result;
    for (char c : source) {
        if (c > ' ' && c < 0x7F && !std::strchr("()<>[]{}/%#", c))
            result += c;
    }
    return result.empty() ? "Font" : result;
}

std::string SubsetTag(const std::string& name, const std::vector<uint32_t>& codes)
{
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](uint64_t value) {
        hash ^= value;
        hash *= 1099511628211ull;
    };
    for (char c : name)
        mix(static_cast<unsigned char>(c));
    for (size_t glyph = 0; glyph < codes.size(); ++glyph) {
        if (codes[glyph] != kUnusedGlyph)
            mix(glyph);
    }
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return tag;
}

std::string SubsetProgram(const FontFace& face, FontProgram kind, const std::vector<uint32_t>& codes,
    CffWrapping wrapping, std::vector<uint32_t>& newGlyphs)
{
    std::unique_ptr<hb_blob_t, BlobDeleter> blob(hb_blob_create_from_file_or_fail(face.File.c_str()));
    if (!blob)
        return {};
    std::unique_ptr<hb_face_t, FaceDeleter> source(hb_face_create(blob.get(), static_cast<unsigned>(face.Index)));
    std::unique_ptr<hb_subset_input_t, InputDeleter> input(hb_subset_input_create_or_fail());
    if (!source || !input)
        return {};
    hb_set_t* glyphs = hb_subset_input_glyph_set(input.get());
    for (size_t glyph = 0; glyph < codes.size(); ++glyph) {
        if (codes[glyph] != kUnusedGlyph)
            hb_set_add(glyphs, static_cast<hb_codepoint_t>(glyph));
    }
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : kDroppedTables)
        hb_set_add(dropped, hb_tag_from_string(tag, 4));
    unsigned flags = HB_SUBSET_FLAGS_NO_HINTING;
    // A name-keyed CFF font is found by glyph number, so its numbers stay.
    if (kind == FontProgram::NameKeyedCff)
        flags |= HB_SUBSET_FLAGS_RETAIN_GIDS;
    hb_subset_input_set_flags(input.get(), flags);
    std::unique_ptr<hb_subset_plan_t, PlanDeleter> plan(hb_subset_plan_create_or_fail(source.get(), input.get()));
    if (!plan)
        return {};
    std::unique_ptr<hb_face_t, FaceDeleter> subset(hb_subset_plan_execute_or_fail(plan.get()));
    if (!subset)
        return {};
    if (kind == FontProgram::TrueType) {
        const hb_map_t* mapping = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
        newGlyphs.assign(codes.size(), 0);
        for (size_t glyph = 0; glyph < codes.size(); ++glyph) {
            if (codes[glyph] != kUnusedGlyph) {
                hb_codepoint_t mapped = hb_map_get(mapping, static_cast<hb_codepoint_t>(glyph));
                newGlyphs[glyph] = mapped == HB_MAP_VALUE_INVALID ? 0 : mapped;
            }
        }
    }
    // A CID-keyed program goes in bare, as PDF readers look its CIDs up in
    // the charset of a bare CFF program but not always of one wrapped in
    // OpenType.
    const bool bare = kind == FontProgram::CidKeyedCff
        || (kind == FontProgram::NameKeyedCff && wrapping == CffWrapping::Bare);
    std::unique_ptr<hb_blob_t, BlobDeleter> bytes(bare
            ? hb_face_reference_table(subset.get(), HB_TAG('C', 'F', 'F', ' '))
            : hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(bytes.get(), &length);
    return data ? std::string(data, length) : std::string();
}

} // namespace plotwise
