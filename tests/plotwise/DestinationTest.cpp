#include "PlotwiseTestSupport.h"

#include <filesystem>
#include <string>

using namespace plotwise_test;

namespace {

int PdfPages(const std::string& path)
{
    std::string info = RunCommand("pdfinfo '" + path + "' 2>/dev/null");
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// Draws pages of text; an empty page between them must not appear.
void DrawPages(HDC dc, int pages)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Serif", -40));
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            PLW_EndPage(dc);
            PLW_StartPage(dc);
            PLW_EndPage(dc);
            PLW_StartPage(dc);
        }
        std::u16string text = u"Page number " + std::u16string(1, static_cast<char16_t>(u'0' + page));
        TextOut(dc, 100, 100, text);
        PLW_Rectangle(dc, 50, 50, 400, 200);
    }
}

class DestinationTest : public PlotwiseTest { };

TEST_F(DestinationTest, AJobThatDrewNothingPrintsOneBlankPage)
{
    EXPECT_EQ(PdfPages(PrintTo("nothing.pdf", [](HDC) {})), 1);
    // Nothing else is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(DestinationTest, PngWritesOneNumberedFilePerPage)
{
    environment.Set("PLOTWISE_DPI", "50");
    environment.Set("PLOTWISE_PAPER", "letter");
    PrintTo("page.png", [](HDC dc) { DrawPages(dc, 2); });
    for (const char* name : { "page-1.png", "page-2.png" }) {
        std::string png = ReadFile(Path(name));
        ASSERT_GT(png.size(), 24u) << name;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        // The header's width and height: letter at 50 dots per inch.
        auto word = [&](size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16)
                | (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(word(16), 425);
        EXPECT_EQ(word(20), 550);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("page-3.png")));
    EXPECT_FALSE(std::filesystem::exists(Path("page.png")));
}

TEST_F(DestinationTest, APictureTooLargeForAnyPageIsLeftOutAndTheRestPrints)
{
    const std::string path = PrintTo("huge-picture.pdf", [](HDC dc) {
        const uint8_t bitmap[] = { 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0 };
        const PLW_PICTURE picture = PictureOf(bitmap, sizeof bitmap, 1440, 50462976);
        EXPECT_EQ(PLW_DrawPictIndirect(dc, &picture, 100, 100), 0);
        TextOut(dc, 600, 600, u"Still printed");
    });
    EXPECT_NE(RunCommand("pdftotext '" + path + "' -").find("Still printed"), std::string::npos);
}

TEST_F(DestinationTest, PostScriptIsWritten)
{
    const std::string postScript = ReadFile(PrintTo("out.ps", [](HDC dc) { DrawPages(dc, 2); }));
    EXPECT_EQ(postScript.substr(0, 4), "%!PS");
    EXPECT_NE(postScript.find("%%Pages: 2"), std::string::npos);
}

TEST_F(DestinationTest, PdfIsReproducibleWithSourceDateEpoch)
{
    environment.Set("SOURCE_DATE_EPOCH", "1700000000");
    std::string bytes[2];
    for (int run = 0; run < 2; ++run) {
        bytes[run] = ReadFile(PrintTo("run-" + std::to_string(run) + ".pdf", [](HDC dc) {
            DrawPages(dc, 2);
            TextOut(dc, MakeLogFont(u"Liberation Mono", -30, FW_BOLD), 100, 400, u"Größe Ελληνικά");
        }));
    }
    ASSERT_FALSE(bytes[0].empty());
    EXPECT_TRUE(bytes[0] == bytes[1]);
    // The page left empty between the two is not in the file.
    EXPECT_EQ(PdfPages(Path("run-0.pdf")), 2);
    // The creation date is the one of SOURCE_DATE_EPOCH.
    EXPECT_NE(bytes[0].find("20231114221320"), std::string::npos);
}

TEST_F(DestinationTest, TestPagePrintsOrFailsWithTheLibraryStatus)
{
    std::string path = Path("out/testpage.pdf");
    std::filesystem::create_directories(folder / "out");
    environment.Set("PLOTWISE_OUTPUT", path);
    ASSERT_EQ(std::system(PLOTWISE_TESTPAGE), 0);
    EXPECT_EQ(PdfPages(path), 1);
    std::string text = RunCommand("pdftotext '" + path + "' -");
    for (const char* expected : { "Plotwise test page", "Resolution 600 dots per inch", "Liberation Mono 12 pt",
             "Bold italic", "Paper 8.27 x 11.69 in" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    environment.Set("PLOTWISE_OUTPUT", Path("missing/testpage.pdf"));
    EXPECT_EQ(WEXITSTATUS(std::system((std::string(PLOTWISE_TESTPAGE) + " 2>/dev/null").c_str())), PLW_STATUS_FAILED);
    environment.Set("PLOTWISE_DIALOG", "cancel");
    EXPECT_EQ(WEXITSTATUS(std::system(PLOTWISE_TESTPAGE)), PLW_STATUS_CANCELLED);
}

} // namespace
