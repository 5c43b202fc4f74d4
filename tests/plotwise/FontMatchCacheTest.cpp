// The cache of font matches: kept answers come back only while the file is
// whole and everything it watches is unchanged, and faces found through it
// are the faces fontconfig gives, without asking fontconfig again.

#include "FontMatchCache.h"
#include "Fonts.h"
#include "PlotwiseTestSupport.h"

#include <fstream>
#include <functional>
#include <tuple>

using namespace plotwise;
using namespace plotwise_test;

namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

const FaceMatch kMatch { "/fonts/Sans\tBold\\.ttf", 2, "Säns\nSerif", 200, 100, true, 128, true, "CFF" };
constexpr const char* kRequest = "Arial\x1fsans-serif\x1fweight=80 slant=0 char=12497";

class FontMatchCacheTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        cacheFile = folder / "cache" / "font-matches";
        watchedFile = Path("fonts.conf");
        WriteAll(watchedFile, "<fontconfig/>");
        watched = { watchedFile, Path("conf.d"), Path("missing") };
        fs::create_directory(Path("conf.d"));
    }

    // Stores kMatch in a new cache and gives the file that results.
    void StoreOne()
    {
        FontMatchCache cache(cacheFile, "context");
        ASSERT_TRUE(cache.Store(kRequest, kMatch, watched));
    }

    fs::path cacheFile;
    std::string watchedFile;
    std::vector<std::string> watched;
};

// Every way the file can be damaged or outdated: the answer is not trusted,
// and the next answer rewrites the file whole.
TEST_F(FontMatchCacheTest, ADamagedOrStaleFileIsIgnoredAndRewritten)
{
    struct Row {
        const char* what;
        std::function<void()> change;
        const char* context = "context";
    };
    auto edit = [this](std::function<void(std::string&)> how) {
        return [this, how] {
            std::string text = ReadFile(cacheFile);
            how(text);
            WriteAll(cacheFile, text);
        };
    };
    const Row rows[] = {
        { "empty", edit([](std::string& text) { text.clear(); }) },
        { "truncated", edit([](std::string& text) { text.resize(text.size() - 10); }) },
        { "cut after a record", edit([](std::string& text) { text.resize(text.find("\nmatch") + 1); }) },
        { "a byte changed", edit([](std::string& text) { text[text.find("\t200\t") + 2] = '9'; }) },
        { "another version", edit([](std::string& text) { text[text.find(" 1\n") + 1] = '2'; }) },
        { "not ours", edit([](std::string& text) { text = std::string(5000, '\n'); }) },
        { "a configuration file changed",
            [this] { fs::last_write_time(watchedFile, fs::last_write_time(watchedFile) - std::chrono::hours(1)); } },
        { "a file added to a configuration folder",
            [this] { WriteAll(Path("conf.d/99-local.conf"), "<fontconfig/>"); } },
        { "a watched path that was absent appears", [this] { fs::create_directory(Path("missing")); } },
        { "another environment", [] {}, "other context" },
    };
    const FaceMatch replacement { "/fonts/Other.ttf", 0, "Other", 80, 0, false, 0, false, "TrueType" };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(cacheFile.parent_path());
        fs::remove_all(Path("missing"));
        StoreOne();
        row.change();
        FontMatchCache stale(cacheFile, row.context);
        EXPECT_EQ(stale.Find(kRequest), std::nullopt);
        ASSERT_TRUE(stale.Store("Other", replacement, watched));
        FontMatchCache rewritten(cacheFile, row.context);
        EXPECT_EQ(rewritten.Find("Other"), replacement);
        EXPECT_EQ(rewritten.Find(kRequest), std::nullopt);
    }
}

TEST_F(FontMatchCacheTest, AnswersAccumulateAndAnUnwritableFolderIsNoError)
{
    StoreOne();
    {
        FontMatchCache cache(cacheFile, "context");
        const FaceMatch second { "/fonts/Mono.ttf", 0, "Mono", 80, 0, false, 0, true, "TrueType" };
        ASSERT_TRUE(cache.Store("Courier New", second, watched));
        FontMatchCache reread(cacheFile, "context");
        EXPECT_EQ(reread.Find(kRequest), kMatch); // every field, tabs and line ends included
        EXPECT_EQ(reread.Find("Courier New"), second);
        EXPECT_EQ(reread.Find("Arial"), std::nullopt);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(cacheFile.parent_path()), {}), 1) << "no temporary file is left";

    // A folder that cannot be made (a file stands in its place).
    FontMatchCache blocked(fs::path(watchedFile) / "cache" / "font-matches", "context");
    EXPECT_FALSE(blocked.Store(kRequest, kMatch, watched));
    EXPECT_EQ(blocked.Find(kRequest), kMatch) << "kept for the process all the same";
}

TEST_F(FontMatchCacheTest, TheUserFileFollowsTheEnvironment)
{
    // PLOTWISE_FONT_CACHE, XDG_CACHE_HOME, the file.
    const std::tuple<const char*, const char*, std::string> rows[] = {
        { nullptr, "/var/tmp/c", "/var/tmp/c/tallowin/font-matches" },
        { "1", "/var/tmp/c", "/var/tmp/c/tallowin/font-matches" },
        { nullptr, nullptr, folder.string() + "/.cache/tallowin/font-matches" },
        { nullptr, "relative", folder.string() + "/.cache/tallowin/font-matches" },
        { "0", "/var/tmp/c", "" },
    };
    for (const auto& [setting, cacheHome, expected] : rows) {
        environment.Set("PLOTWISE_FONT_CACHE", setting);
        environment.Set("XDG_CACHE_HOME", cacheHome);
        EXPECT_EQ(FontMatchCache::UserFile().string(), expected) << (cacheHome ? cacheHome : "unset");
    }
}

// Fonts made through a warm cache are the fonts fontconfig gives, fallback
// faces included, and fontconfig is not asked again.
TEST_F(FontMatchCacheTest, AWarmCacheGivesTheSameFacesWithoutFontconfig)
{
    environment.Set("XDG_CACHE_HOME", Path("xdg-cache"));
    environment.Unset("PLOTWISE_FONT_CACHE");
    struct Seen {
        std::u16string faceName;
        std::string primary;
        bool bold = false;
        bool italic = false;
        std::vector<std::string> glyphFaces;
        bool operator==(const Seen&) const = default;
    };
    auto makeFonts = [] {
        std::vector<Seen> seen;
        for (const auto& [face, weight, italic] : { std::tuple { u"Arial", FW_NORMAL, false },
                 std::tuple { u"Times New Roman", FW_BOLD, true }, std::tuple { u"Courier New", FW_NORMAL, false },
                 std::tuple { u"No Such Family", FW_SEMIBOLD, false } }) {
            LOGFONTW request = MakeLogFont(face, -40, weight);
            request.lfItalic = italic;
            std::shared_ptr<Font> font = Font::Create(request);
            if (!font)
                return seen;
            Seen one { font->FaceName(), font->Primary().File, font->SyntheticBold(), font->SyntheticItalic(), {} };
            for (char32_t c : { U'A', U'\u0416', U'\u65E5', U'\u30D1', U'\U0001F600' })
                one.glyphFaces.push_back(font->Glyph(c).Face->File);
            seen.push_back(one);
        }
        return seen;
    };
    environment.Set("PLOTWISE_FONT_CACHE", "0");
    ResetFontMatches();
    const std::vector<Seen> uncached = makeFonts();
    ASSERT_EQ(uncached.size(), 4u);
    EXPECT_GT(FontConfigLookups(), 4);

    environment.Unset("PLOTWISE_FONT_CACHE");
    ResetFontMatches();
    EXPECT_EQ(makeFonts(), uncached);
    EXPECT_GT(FontConfigLookups(), 4) << "cold";
    ResetFontMatches();
    EXPECT_EQ(makeFonts(), uncached);
    EXPECT_EQ(FontConfigLookups(), 0) << "warm";
    ResetFontMatches();
}

} // namespace
