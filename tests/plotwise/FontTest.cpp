#include "PlotwiseTestSupport.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace plotwise_test;

namespace {

std::string Narrow(const std::u16string& text)
{
    std::string result;
    for (char16_t c : text)
        result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

// What fontconfig itself picks for a family name, for faces whose answer
// depends on the machine.
std::string FontconfigFamily(const char* family)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string name;
    FcChar8* value = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
        name = reinterpret_cast<const char*>(value);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return name;
}

using FontTest = ScreenTest;

TEST_F(FontTest, GetTextFaceReportsTheFaceReallyMatchedAsFarAsItFits)
{
    // The face asked for, its pitch and family, the face reported (null:
    // whatever fontconfig picks for the generic family that follows).
    const std::tuple<std::u16string, uint8_t, const char*, const char*> rows[] = {
        { u"Liberation Sans", 0, "Liberation Sans", nullptr },
        { u"liberation mono", 0, "Liberation Mono", nullptr },
        // A metric-compatible face stands in for a common Windows face.
        { u"Arial", 0, "Liberation Sans", nullptr },
        // A face the machine may lack reports what was really chosen.
        { u"Symbol", 0, nullptr, "Symbol" },
        { u"No Such Face 7", 0x10, nullptr, "serif" },
        { u"No Such Face 7", 0x30, nullptr, "monospace" },
        { u"", 0x20, nullptr, "sans-serif" },
    };
    for (const auto& [requested, pitchAndFamily, reported, generic] : rows) {
        LOGFONTW font = MakeLogFont(requested, -50);
        font.lfPitchAndFamily = pitchAndFamily;
        std::string expected = reported ? reported : FontconfigFamily(generic);
        SelectedFont selected(dc, font);
        PLW_WCHAR face[LF_FACESIZE] = {};
        EXPECT_GT(PLW_GetTextFaceW(dc, LF_FACESIZE, face), 0);
        EXPECT_EQ(Narrow(face), expected) << Narrow(requested);
    }
    // What fits is copied; without a buffer the size is told.
    SelectedFont selected(dc, MakeLogFont(u"Liberation Sans", -50));
    EXPECT_EQ(PLW_GetTextFaceW(dc, 0, nullptr), 16);
    PLW_WCHAR face[8] = { 1, 1, 1, 1, 1, 1, 1, 1 };
    EXPECT_EQ(PLW_GetTextFaceW(dc, 8, face), 8);
    EXPECT_EQ(std::u16string(face), u"Liberat");
    EXPECT_EQ(PLW_GetTextFaceW(dc, 0, face), 0);
    EXPECT_EQ(PLW_GetTextFaceW(nullptr, 8, face), 0);
}

// Liberation Sans: 2048 units per em, Windows ascent 1854, descent 434,
// average width 1176. Liberation Mono: ascent 1705, descent 615, every
// advance 1229. Values are rounded to whole device units.
TEST_F(FontTest, HeightsGiveTheCharacterOrTheCellHeight)
{
    // Face, height asked for, ascent, descent, average width.
    const std::tuple<std::u16string, int32_t, int32_t, int32_t, int32_t> rows[] = {
        { u"Liberation Sans", -50, 45, 11, 29 },
        { u"Liberation Sans", 56, 45, 11, 29 },
        { u"Liberation Sans", 100, 81, 19, 51 },
        { u"Liberation Mono", -50, 42, 15, 30 },
    };
    for (const auto& [faceName, height, ascent, descent, averageWidth] : rows) {
        SelectedFont selected(dc, MakeLogFont(faceName, height));
        TEXTMETRICW metrics {};
        ASSERT_EQ(PLW_GetTextMetrics(dc, &metrics), 1);
        SCOPED_TRACE(Narrow(faceName) + " " + std::to_string(height));
        EXPECT_EQ(metrics.tmAscent, ascent);
        EXPECT_EQ(metrics.tmDescent, descent);
        EXPECT_EQ(metrics.tmHeight, ascent + descent);
        EXPECT_NEAR(metrics.tmAveCharWidth, averageWidth, 1);
        if (height < 0)
            EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -height);
        else
            EXPECT_NEAR(metrics.tmHeight, height, 1);
    }
}

TEST_F(FontTest, StockObjectsExistAndSurviveDeletion)
{
    for (int32_t index : { WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, BLACK_PEN, WHITE_PEN, NULL_PEN, SYSTEM_FONT }) {
        HGDIOBJ object = PLW_GetStockObject(index);
        ASSERT_NE(object, nullptr) << index;
        EXPECT_EQ(PLW_DeleteObject(object), 1);
        EXPECT_NE(PLW_SelectObject(dc, object), nullptr) << index;
    }
    EXPECT_EQ(PLW_GetStockObject(-1), nullptr);
    EXPECT_EQ(PLW_GetStockObject(9), nullptr);
    EXPECT_EQ(PLW_GetStockObject(1000), nullptr);
}

TEST_F(FontTest, SelectObjectReturnsThePreviousObjectOfItsKind)
{
    LOGFONTW sans = MakeLogFont(u"Liberation Sans", -20);
    LOGFONTW mono = MakeLogFont(u"Liberation Mono", -20);
    HFONT first = PLW_CreateFontIndirectW(&sans);
    HFONT second = PLW_CreateFontIndirectW(&mono);
    HBRUSH brush = PLW_CreateSolidBrush(PLW_RGB(1, 2, 3));
    EXPECT_EQ(PLW_SelectObject(dc, first), PLW_GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(PLW_SelectObject(dc, brush), PLW_GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(PLW_SelectObject(dc, second), first);
    EXPECT_EQ(PLW_SelectObject(dc, PLW_GetStockObject(SYSTEM_FONT)), second);
    EXPECT_EQ(PLW_DeleteObject(first), 1);
    // A deleted object is no object any more.
    EXPECT_EQ(PLW_SelectObject(dc, first), nullptr);
    EXPECT_EQ(PLW_DeleteObject(first), 0);
    EXPECT_EQ(PLW_SelectObject(nullptr, second), nullptr);
    EXPECT_EQ(PLW_SelectObject(dc, nullptr), nullptr);
    PLW_DeleteObject(second);
    PLW_DeleteObject(brush);
}

struct Enumerated {
    std::vector<std::string> Faces;
    std::vector<uint8_t> CharSets;
    std::vector<uint8_t> Pitches;
    int StopAfter = -1;
};

int Collect(const LOGFONTW* font, const TEXTMETRICW* metrics, uint32_t, void* data)
{
    auto* seen = static_cast<Enumerated*>(data);
    seen->Faces.push_back(Narrow(font->lfFaceName));
    seen->CharSets.push_back(font->lfCharSet);
    EXPECT_EQ(font->lfCharSet, metrics->tmCharSet);
    seen->Pitches.push_back(font->lfPitchAndFamily & 0x03);
    return seen->StopAfter < 0 || static_cast<int>(seen->Faces.size()) < seen->StopAfter;
}

TEST_F(FontTest, EnumFontsListsEachFamilyOnceInOrder)
{
    Enumerated all;
    EXPECT_NE(PLW_EnumFontsW(dc, nullptr, Collect, &all), 0);
    ASSERT_GE(all.Faces.size(), 3u);
    EXPECT_TRUE(std::is_sorted(all.Faces.begin(), all.Faces.end()));
    EXPECT_EQ(std::adjacent_find(all.Faces.begin(), all.Faces.end()), all.Faces.end());
    for (const char* face : { "Liberation Sans", "Liberation Serif", "Liberation Mono", "Courier New", "Tahoma" }) {
        auto found = std::find(all.Faces.begin(), all.Faces.end(), face);
        ASSERT_NE(found, all.Faces.end()) << face;
        EXPECT_EQ(all.CharSets[static_cast<size_t>(found - all.Faces.begin())], ANSI_CHARSET) << face;
    }

    Enumerated mono;
    PLW_EnumFontsW(dc, u"Liberation Mono", Collect, &mono);
    ASSERT_EQ(mono.Faces, std::vector<std::string> { "Liberation Mono" });
    EXPECT_EQ(mono.Pitches[0], 1); // fixed pitch

    Enumerated first;
    first.StopAfter = 1;
    EXPECT_EQ(PLW_EnumFontsW(dc, nullptr, Collect, &first), 0);
    EXPECT_EQ(first.Faces.size(), 1u);

    Enumerated none;
    EXPECT_EQ(PLW_EnumFontsW(dc, u"No Such Face 7", Collect, &none), 0);
    EXPECT_TRUE(none.Faces.empty());
    EXPECT_EQ(PLW_EnumFontsW(nullptr, nullptr, Collect, &none), 0);
    EXPECT_EQ(PLW_EnumFontsW(dc, nullptr, nullptr, &none), 0);
}

TEST_F(FontTest, ScreenContextMeasuresAtNinetySixDotsPerInch)
{
    EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(PLW_ReleaseScreenDC(nullptr), 0);
    HDC other = PLW_GetScreenDC();
    EXPECT_EQ(PLW_ReleaseScreenDC(other), 1);
    EXPECT_EQ(PLW_ReleaseScreenDC(other), 0);
    EXPECT_EQ(PLW_GetDeviceCaps(other, LOGPIXELSX), 0);
}

} // namespace
