// The configuration the library loads itself, once, matches fonts exactly as
// the one FcInit loads.

#include "FontConfigSetup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The file and face index a configuration matches for a pattern, after its
// substitutions.
std::string MatchedFile(FcConfig* config, const char* name)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!matched)
        return "no match";
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetString(matched, FC_FILE, 0, &file);
    FcPatternGetInteger(matched, FC_INDEX, 0, &index);
    std::string text = file ? reinterpret_cast<const char*>(file) : "no file";
    FcPatternDestroy(matched);
    return text + "#" + std::to_string(index);
}

TEST(FontConfigSetupTest, MatchesAsTheConfigurationOfFcInit)
{
    plotwise::EnsureFontConfig();
    FcConfig* current = FcConfigGetCurrent();
    ASSERT_NE(current, nullptr);
    FcConfig* reference = FcInitLoadConfigAndFonts();
    ASSERT_NE(reference, nullptr);
    ASSERT_NE(reference, current);

    // Patterns in fontconfig's name syntax.
    const char* const patterns[] = { "Arial", "Arial:bold:italic", "Times New Roman", "Courier New:weight=200",
        "Helvetica", "Tahoma", "MS Sans Serif", "Symbol", "No Such Family", "sans-serif", "serif:lang=ru",
        "monospace:slant=100", "sans-serif:lang=ja", "sans-serif:lang=he", ":charset=4e00", "" };
    for (const char* pattern : patterns)
        EXPECT_EQ(MatchedFile(current, pattern), MatchedFile(reference, pattern)) << pattern;

    FcConfigDestroy(reference);

    // The configuration is loaded once, and FcInit keeps it.
    plotwise::EnsureFontConfig();
    FcInit();
    EXPECT_EQ(FcConfigGetCurrent(), current);
}

} // namespace
