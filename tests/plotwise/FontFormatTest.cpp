// Text in a face the PDF writer cannot embed (Type 1) stays text: the match
// takes the same family's OpenType face, or the nearest embeddable face, so
// the words can be searched and copied. Its own program, because the fonts
// it sees are set before the library first asks fontconfig.
#include "PlotwiseTestSupport.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace plotwise_test;

const fs::path kType1 = "/usr/share/fonts/type1/urw-base35";
const fs::path kOpenType = "/usr/share/fonts/opentype/urw-base35";
const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

using FontFormatTest = PlotwiseTest;

TEST_F(FontFormatTest, TextInAType1FaceIsEmbeddedAsText)
{
    // Nimbus Roman in both formats, C059 only as Type 1, and DejaVu Sans;
    // the configuration ranks Type 1 first, as a TeX set-up may.
    const fs::path fonts = folder / "fonts";
    fs::create_directories(fonts);
    for (const fs::path& file : { kType1 / "NimbusRoman-Regular.t1", kOpenType / "NimbusRoman-Regular.otf",
             kType1 / "C059-Roman.t1", kDejaVu }) {
        ASSERT_TRUE(fs::exists(file)) << file << " is missing: scripts/install-deps.sh installs it";
        fs::create_symlink(file, fonts / file.filename());
    }
    std::ofstream(folder / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>" << fonts.string()
                                         << "</dir>\n  <cachedir>" << (folder / "cache").string()
                                         << "</cachedir>\n  <match target=\"pattern\">\n"
                                         << "    <edit name=\"fontformat\" mode=\"prepend\">"
                                         << "<string>Type 1</string></edit>\n  </match>\n</fontconfig>\n";
    environment.Set("FONTCONFIG_FILE", (folder / "fonts.conf").string());
    const struct {
        const char16_t* face;
        const char* embedded; // the face the PDF names
    } cases[] = {
        { u"Nimbus Roman", "NimbusRoman-Regular" },
        { u"C059", "DejaVuSans" },
    };
    for (const auto& c : cases) {
        const std::string path = PrintTo(
            "type1.pdf", [&](HDC dc) { TextOut(dc, MakeLogFont(c.face, -200), 600, 600, u"Searchable words"); });
        const std::string pdf = ReadFile(path);
        EXPECT_NE(pdf.find(std::string("+") + c.embedded), std::string::npos) << "no embedded " << c.embedded;
        EXPECT_NE(RunCommand("pdftotext -q '" + path + "' -").find("Searchable words"), std::string::npos);
    }
}

} // namespace
