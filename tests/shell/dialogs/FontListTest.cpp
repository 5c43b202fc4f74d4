#include "FontList.h"

#include "FakePrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fakeprinter::Fake;

std::vector<std::u16string> Faces()
{
    std::vector<std::u16string> faces;
    for (shell::FontListEntry* entry = shell::FontList(); entry; entry = entry->Next)
        faces.emplace_back(entry->FaceName);
    return faces;
}

class FontListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeprinter::InstallFakePrinter();
        Fake().Fonts
            = { { u"Liberation Serif", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Liberation Serif", 204 } };
    }
    void TearDown() override
    {
        shell::FreeFontList();
        fakeprinter::RemoveFakePrinter();
    }
};

TEST_F(FontListTest, KeepsEnumerationOrderCutsLongNamesAndIsReplacedByARebuild)
{
    shell::BuildFontList();
    EXPECT_EQ(
        Faces(), (std::vector<std::u16string> { u"Liberation Serif", u"DejaVu Sans", u"Symbol", u"Liberation Serif" }));
    Fake().Fonts = { { std::u16string(40, u'x'), 0 } };
    shell::BuildFontList();
    EXPECT_EQ(Faces(), std::vector<std::u16string> { std::u16string(LF_FACESIZE - 1, u'x') });
    shell::FreeFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    shell::FreeFontList();
}

TEST_F(FontListTest, FindsTheCharsetOfTheFirstExactMatch)
{
    shell::BuildFontList();
    struct Row {
        const char16_t* face;
        bool found;
        std::uint8_t charset;
    };
    const Row rows[] = {
        { u"Liberation Serif", true, 0 },
        { u"Symbol", true, 2 },
        { u"symbol", false, 99 },
        { u"Liberation", false, 99 },
        { u"", false, 99 },
        { nullptr, false, 99 },
    };
    for (const Row& row : rows) {
        std::uint8_t charset = 99;
        EXPECT_EQ(shell::FindFontCharset(row.face, &charset), row.found);
        EXPECT_EQ(charset, row.charset);
    }
}

TEST_F(FontListTest, WithoutTheLibraryTheListIsEmpty)
{
    fakeprinter::RemoveFakePrinter();
    shell::BuildFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    std::uint8_t charset = 7;
    EXPECT_FALSE(shell::FindFontCharset(u"Symbol", &charset));
    EXPECT_EQ(charset, 7);
}

} // namespace
