#include "PocketWordSamples.h"

#include "PocketWordDocument.h"
#include "RtfText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The committed samples are what the writer makes, so they cannot drift
// from it unseen; run pocketword-samples to write them again.
TEST(PocketWordSamplesTest, CommittedSamplesAreWhatTheWriterMakes)
{
    for (const pocketword::Sample& sample : pocketword::Samples()) {
        const std::filesystem::path path = std::filesystem::path(POCKETWORD_SAMPLES_DIR) / sample.FileName;
        EXPECT_EQ(ReadFile(path), pocketword::WritePocketWord(sample.Content)) << path;
    }
}

TEST(PocketWordSamplesTest, SamplesReadAsTheirText)
{
    struct Row {
        const char* file;
        std::u16string text;
    };
    const Row rows[] = {
        { "shopping-list.psw",
            u"Market day\r\nSaturday, before ten\r\n\r\n\u2022\tCr\u00e8me fra\u00eeche and two baguettes\r\n"
            u"\u2022\tCaf\u00e9 beans, decaf dark roast\r\n\u2022\tAsk about the na\u00efve cheese\r\n"
            u"\u2022\tFlowers for Zo\u00eb\r\n\r\nBread\t2,40 \u20ac\r\nCheese\t6,90 \u20ac\r\nTotal\t9,30 "
            u"\u20ac\r\n" },
        { "meeting-notes.pwi",
            u"Harbour board\r\n6 December 2026\r\n\r\nThe first line of this paragraph starts half an inch in; the "
            u"lines after it start at the margin, as in a letter.\r\n\r\n\u201cThe tide waits for no one, and "
            u"neither does the harbour board.\u201d\r\n\r\nAgreed: dredge the bar in spring; report in March.\r\n" },
    };
    for (const Row& row : rows) {
        const std::optional<std::string> rtf
            = platform::PocketWordToRtf(ReadFile(std::filesystem::path(POCKETWORD_SAMPLES_DIR) / row.file), 1252);
        ASSERT_TRUE(rtf) << row.file;
        EXPECT_EQ(
            platform::RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(rtf->data()), rtf->size())),
            row.text)
            << row.file;
    }
}

} // namespace
