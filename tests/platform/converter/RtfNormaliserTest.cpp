#include "RtfNormaliser.h"
#include "RtfText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

// The text the written RTF reads as, without the last paragraph's end.
std::u16string TextOf(const std::string& rtf)
{
    std::u16string text = platform::RtfToUnicodeText(Bytes(rtf));
    if (text.ends_with(u"\r\n"))
        text.resize(text.size() - 2);
    return text;
}

// The control words the RTF reader knows, and so all the route may write.
const std::set<std::string> kVocabulary = { "rtf", "ansi", "ansicpg", "deff", "fonttbl", "f", "fnil", "froman",
    "fswiss", "fmodern", "fscript", "fdecor", "ftech", "fbidi", "fprq", "fcharset", "colortbl", "red", "green", "blue",
    "plain", "fs", "b", "i", "ul", "strike", "cf", "cb", "pard", "ql", "qc", "qr", "qj", "li", "ri", "fi", "tx", "tab",
    "par", "page", "u", "pict", "pngblip", "jpegblip", "dibitmap", "picw", "pich", "picwgoal", "pichgoal", "picscalex",
    "picscaley", "wbmbitspixel", "wbmplanes", "wbmwidthbytes", "bin" };

void ExpectReaderVocabulary(const std::string& rtf)
{
    std::string text = rtf;
    // \bin data is not read as control words.
    static const std::regex bin(R"(\\bin(\d+) )");
    for (std::smatch m; std::regex_search(text, m, bin);) {
        const auto at = static_cast<std::size_t>(m.position(0));
        text.erase(at, m.length(0) + std::stoul(m[1].str()));
    }
    static const std::regex word(R"(\\([a-z]+)-?\d*)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it)
        EXPECT_TRUE(kVocabulary.contains((*it)[1].str())) << (*it)[1].str();
}

TEST(RtfNormaliserTest, WritesEachConstructAndTheSamplesInTheReadersVocabulary)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    struct Row {
        const char* name;
        std::string_view rtf;
        std::u16string_view text; // what the written RTF reads as
        std::string_view written; // a piece the written RTF holds ("" for none)
    };
    const Row rows[] = {
        { "typographic",
            R"({\rtf1 didn\rquote t \lquote a\rquote  \ldblquote b\rdblquote  c\emdash d\endash e\bullet})",
            u"didn\u2019t \u2018a\u2019 \u201Cb\u201D c\u2014d\u2013e\u2022", "" },
        { "spaces and hyphens", R"({\rtf1 a\~b\_c\-d})", u"a\u00A0b\u2011cd", "" },
        { "line", R"({\rtf1 one\line two})", u"one\r\ntwo", "" },
        { "hidden", R"({\rtf1 a{\v secret }b\v c\v0 d})", u"abd", "" },
        { "field result", R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}})", u"shown", "" },
        { "list label", R"({\rtf1 {\listtext 1.\tab}item})", u"1.\titem", "" },
        { "indents after the label", R"({\rtf1 {\pntext -\tab}\fi-360\li720 item\par})", u"-\titem",
            "\\pard\\ql\\li720\\fi-360 " },
        { "uc2", R"({\rtf1\uc2 \u915\'c3\'20x})", u"\u0393x", "" },
        { "default size", R"({\rtf1 text})", u"text", "\\fs24" },
        { "ulnone", R"({\rtf1 \ul a\ulnone b})", u"ab", "\\ul a}{\\f0\\fs24 b}" },
        { "undefined font", R"({\rtf1{\fonttbl{\f5 Arial;}{\f7 Courier;}}\f7 a\f9 b})", u"ab",
            "{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier;}" },
        { "colour table on one line", "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;\r\n\\red4\\green5\\blue6;}\\cf2 x}",
            u"x", "{\\colortbl;\\red4\\green5\\blue6;}" },
        { "symbol", R"({\rtf1{\fonttbl{\f0 Times;}{\f1\fcharset2 Symbol;}}{\f1 abW\'b7}})", u"\u03B1\u03B2\u03A9\u2022",
            "" },
        { "symbol as unicode and dingbats", R"({\rtf1{\fonttbl{\f1 Symbol;}{\f2 Wingdings;}}{\f1\u-3913 ?}{\f2\'fc}})",
            u"\u2022\u2714", "{\\f0\\fswiss\\fcharset0 DejaVu Sans;}}" },
        { "style", R"({\rtf1{\stylesheet{\s1\b\fs40 heading;}}\s1 Title})", u"Title", "\\fs40\\b " },
        { "table", R"({\rtf1\trowd\cellx1000\cellx2000\cellx3000\intbl A\cell B\cell C\cell\row})", u"A\tB\tC",
            "\\tx1000\\tx2000 " },
        { "nested rows",
            R"({\rtf1\trowd\cellx1000\cellx2000\intbl A\cell{\itap2 x\nestcell{\*\nesttableprops\nestrow}y\nestcell{\*\nesttableprops\nestrow}}\cell C\cell\row})",
            u"A\tx\ty\tC", "" },
        { "hidden paragraph", R"({\rtf1 a\par{\v hidden\par}b})", u"a\r\nb", "" },
        { "centred row", R"({\rtf1\trowd\cellx1000\cellx2000\intbl\qc A\cell B\cell\row})", u"A\tB", "\\ql\\tx1000 " },
        { "hex picture",
            R"({\rtf1{\pict\pngblip\picwgoal300\pichgoal200 89504e470d0a1a0a0000000d494844520000000100000001}})",
            u"\r\n\t", "{\\fs8\\par}{\\fs20\\tab {\\pict\\pngblip\\picwgoal300\\pichgoal200\\bin24 \x89PNG\r\n\x1a\n" },
        { "text after a picture in a new format",
            R"({\rtf1\qc{\pict\pngblip\picwgoal20\pichgoal20 89504e470d0a1a0a0000000d494844520000000100000001}\pard\qr date\par})",
            u"\r\n\t\r\ndate", "\\par}\n\\pard\\qr {" },
        { "floating picture",
            R"({\rtf1{\shp{\*\shpinst{\sp{\sn pib}{\sv {\pict\pngblip\picwgoal20\pichgoal20 89504e470d0a1a0a0000000d494844520000000100000001}}}{\sp{\sn x}{\sv 9}}}{\shprslt{\pict\wmetafile8 0100}}}})",
            u"\r\n\t", "\\pngblip" },
        { "object result", R"({\rtf1{\object{\*\objdata 0102}{\result shown}}})", u"shown", "" },
        { "metafile placeholder", R"({\rtf1{\pict\wmetafile8\picw2540\pich1270 0100}})", u"\r\n\t",
            "\\dibitmap0\\picwgoal1440\\pichgoal720\\bin" },
        { "document ending in a destination", R"({\rtf1 text\footnote gone})", u"text", "text}\\par" },
        { "skipped destinations", R"({\rtf1{\info{\title t}}{\header h}{\*\generator g}body})", u"body", "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> out = platform::NormaliseRtf(Bytes(row.rtf));
        ASSERT_TRUE(out);
        EXPECT_EQ(TextOf(*out), row.text) << *out;
        EXPECT_NE(out->find(row.written), std::string::npos) << *out;
        ExpectReaderVocabulary(*out);
    }

    // The samples read as their text.
    const std::pair<const char*, std::u16string_view> samples[] = {
        { "wordprocessor.rtf", u"The harbour didn\u2019t close this quarter." },
        { "wordprocessor.rtf", u"Greek: \u03B1 \u03B2 \u03B3 \u0394 \u03A9 and a field: example.org." },
        { "wordprocessor.rtf", u"E\tF\tG\tH\r\n" },
        { "editor.rtf", u"Bread\t2\r\nMilk\t1\r\n" },
        { "converter.rtf", u"Before the picture" },
    };
    for (const auto& [file, text] : samples) {
        std::ifstream in(std::string(RTF_SAMPLES_DIR) + "/" + file, std::ios::binary);
        const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::optional<std::string> out = platform::NormaliseRtf(Bytes(rtf));
        ASSERT_TRUE(out) << file;
        EXPECT_NE(TextOf(*out).find(text), std::u16string::npos) << file;
        ExpectReaderVocabulary(*out);
    }
}

TEST(RtfNormaliserTest, LeavesRtfItCannotReadToTheReaderAndKeepsAMillionFontsBounded)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    const std::string hugeBin = "{\\rtf1{\\pict\\bin99999999999 ab}}";
    const std::string deep = "{\\rtf1" + std::string(100000, '{') + "x" + std::string(100000, '}') + "}";
    const std::string_view rows[]
        = { "{\\rtf1 unbalanced", "{\\rtf1 \\'4", "{\\rtf1 \\'zz}", "not rtf", hugeBin, deep };
    for (std::string_view rtf : rows)
        EXPECT_FALSE(platform::NormaliseRtf(Bytes(rtf))) << rtf.substr(0, 40);

    // A million fonts are kept bounded.
    std::string rtf = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 1000000; ++i)
        rtf += "{\\f" + std::to_string(i) + " F;}";
    rtf += "}\\f999999 x}";
    const std::optional<std::string> out = platform::NormaliseRtf(Bytes(rtf));
    ASSERT_TRUE(out);
    EXPECT_LT(out->size(), platform::kMaxNormaliseFonts * 40);
    EXPECT_EQ(TextOf(*out), u"x");
}

} // namespace
