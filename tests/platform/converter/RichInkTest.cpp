#include "RichInk.h"
#include "RtfNormaliser.h"

#include "PlainTextDecoding.h"
#include "PocketWordWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace platform;

// The caller's side of a stream: bytes to read from, or a buffer to write to
// with a limit; a write with no buffer only counts.
struct Cookie {
    const std::uint8_t* input = nullptr;
    std::size_t inputSize = 0;
    std::size_t inputPos = 0;
    std::vector<std::uint8_t>* output = nullptr;
    std::size_t limit = 0;
    std::size_t written = 0;
    std::int32_t maxChunk = 1 << 30;
    std::uint32_t failWith = 0;
    int calls = 0;
};

std::uint32_t Reader(std::uintptr_t cookieValue, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cookie = *reinterpret_cast<Cookie*>(cookieValue);
    ++cookie.calls;
    if (cookie.failWith)
        return cookie.failWith;
    std::size_t take = std::min<std::size_t>({ static_cast<std::size_t>(count),
        static_cast<std::size_t>(cookie.maxChunk), cookie.inputSize - cookie.inputPos });
    std::memcpy(buffer, cookie.input + cookie.inputPos, take);
    cookie.inputPos += take;
    *done = static_cast<std::int32_t>(take);
    return 0;
}

std::uint32_t Writer(std::uintptr_t cookieValue, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cookie = *reinterpret_cast<Cookie*>(cookieValue);
    ++cookie.calls;
    if (cookie.failWith)
        return cookie.failWith;
    std::size_t take = static_cast<std::size_t>(count);
    if (cookie.output) {
        take = std::min(take, cookie.limit - cookie.written);
        cookie.output->insert(cookie.output->end(), buffer, buffer + take);
    }
    cookie.written += take;
    *done = static_cast<std::int32_t>(take);
    return 0;
}

class RichInkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        InitRichInkDLL();
        window = CreateRichInkWindow(nullptr, 101, ProgramModule());
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }

    std::intptr_t StreamIn(
        std::string_view bytes, std::uintptr_t format = SF_POCKETWORD_RTF, std::int32_t chunk = 1 << 30)
    {
        Cookie cookie {
            .input = reinterpret_cast<const std::uint8_t*>(bytes.data()), .inputSize = bytes.size(), .maxChunk = chunk
        };
        EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&cookie), 0, Reader };
        return SendMessageW(window, EM_STREAMIN, format, &stream);
    }

    // Measures, then fills, as document open does.
    std::vector<std::uint8_t> StreamOut(std::uintptr_t format)
    {
        Cookie measure;
        EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&measure), 0, Writer };
        std::intptr_t measured = SendMessageW(window, EM_STREAMOUT, format, &stream);
        EXPECT_EQ(static_cast<std::size_t>(measured), measure.written);
        std::vector<std::uint8_t> bytes;
        Cookie fill { .output = &bytes, .limit = measure.written };
        stream = { reinterpret_cast<std::uintptr_t>(&fill), 0, Writer };
        SendMessageW(window, EM_STREAMOUT, format, &stream);
        return bytes;
    }

    std::u16string StreamOutText()
    {
        const std::vector<std::uint8_t> bytes = StreamOut(SF_UNICODE_TEXT);
        EXPECT_EQ(bytes.size() % 2, 0u);
        std::u16string text;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        return text;
    }

    RichInkWindow window = nullptr;
};

TEST_F(RichInkTest, WhatComesInComesBackAndWhatItCannotReadFailingStreamsAndBadCallsAreRefused)
{
    struct Row {
        std::string bytes;
        std::u16string text;
        std::int32_t chunk;
    };
    std::vector<Row> rows = {
        { "line one\r\nline two", u"line one\r\nline two", 1 << 30 },
        { "caf\xe9 \x93quoted\x94", u"café \u201Cquoted\u201D", 1 << 30 },
        { "\xef\xbb\xbf\xd0\x94\xce\xa9", u"ДΩ", 1 << 30 }, { "\x0c\tform feed", u"\f\tform feed", 1 << 30 },
        { "", u"", 1 << 30 }, { "", u"", 7 }, // long text crossing small chunks
    };
    for (int i = 0; i < 5000; ++i) {
        rows.back().bytes += "\xc3\xa9x";
        rows.back().text += u"éx";
    }
    for (const Row& row : rows) {
        EXPECT_EQ(StreamIn(row.bytes, SF_POCKETWORD_RTF, row.chunk), 0) << row.bytes.substr(0, 20);
        EXPECT_EQ(StreamOutText(), row.text) << row.bytes.substr(0, 20);
    }

    // RTF comes back in the reader's vocabulary, or as text.
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Caf\\'e9\\par ";
    std::u16string text = u"Caf\u00e9\r\n";
    // Long enough to cross the chunks of both streams.
    for (int i = 0; i < 3000; ++i) {
        rtf += "line\\par ";
        text += u"line\r\n";
    }
    rtf += "}";
    for (std::uintptr_t format : { SF_RTF, SF_POCKETWORD_RTF }) {
        ASSERT_EQ(StreamIn(rtf, format, 1000), 0);
        const std::optional<std::string> normalised
            = NormaliseRtf({ reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size() });
        ASSERT_TRUE(normalised);
        EXPECT_EQ(StreamOut(SF_RTF), std::vector<std::uint8_t>(normalised->begin(), normalised->end()));
        EXPECT_EQ(StreamOutText(), text);
        // The text is kept: asking again gives it again.
        EXPECT_EQ(StreamOutText(), text);
    }
    // RTF the converter cannot read comes back as it was, for the reader to report.
    const std::string unbalanced = "{\\rtf1 {\\b never closed}";
    ASSERT_EQ(StreamIn(unbalanced, SF_RTF, 1000), 0);
    EXPECT_EQ(StreamOut(SF_RTF), std::vector<std::uint8_t>(unbalanced.begin(), unbalanced.end()));

    // A Pocket Word document comes back as RTF or as text.
    using pocketword::FontCode, pocketword::TabCode, pocketword::Text;
    const pocketword::Paragraph bulleted { .Content = FontCode(0) + Text("Caf\xe9") + TabCode() + Text("bar"),
        .Bullet = true };
    const std::vector<std::uint8_t> bytes
        = pocketword::WritePocketWord({ { { 0, u"Tahoma" } }, { bulleted, { Text("two") } } });
    ASSERT_EQ(StreamIn(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())), 0);
    const std::vector<std::uint8_t> out = StreamOut(SF_RTF);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 6), "{\\rtf1");
    EXPECT_EQ(StreamOutText(), u"\u2022\tCaf\u00e9\tbar\r\ntwo\r\n");
    // Streamed in as RTF it is not taken for a Pocket Word document.
    EXPECT_NE(StreamIn(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), SF_RTF), 0);

    // What it cannot read, failing streams and bad calls are never accepted.
    using namespace std::string_view_literals;
    struct RefusedRow {
        std::string_view bytes;
        std::uintptr_t format;
    };
    const RefusedRow refused[] = {
        { "\xff\xfeh\0i\0"sv, SF_POCKETWORD_RTF },
        { "\xfe\xff\0h\0i"sv, SF_POCKETWORD_RTF },
        { "nul\0inside"sv, SF_POCKETWORD_RTF },
        { "{\\pwi ink}"sv, SF_POCKETWORD_RTF },
        { "{\\pwi"sv, SF_POCKETWORD_RTF },
        { "{\\rtf1 hello}"sv, SF_UNICODE_TEXT },
        { "plain"sv, SF_RTF },
        { "plain"sv, SF_UNICODE_TEXT },
    };
    for (const RefusedRow& row : refused) {
        EXPECT_NE(StreamIn(row.bytes, row.format), 0) << row.bytes;
        // Nothing from before stays held.
        Cookie nothing;
        EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&nothing), 0, Writer };
        EXPECT_EQ(SendMessageW(window, EM_STREAMOUT, SF_UNICODE_TEXT, &stream), 0);
        EXPECT_EQ(stream.dwError, kStreamFormatNotAvailable);
        EXPECT_EQ(StreamIn("ok"), 0);
    }

    Cookie cookie { .failWith = 5 };
    EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&cookie), 0, Reader };
    EXPECT_NE(SendMessageW(window, EM_STREAMIN, SF_POCKETWORD_RTF, &stream), 0);
    EXPECT_EQ(stream.dwError, 5u);

    // Plain text comes out only as Unicode text.
    EXPECT_EQ(StreamIn("plain"), 0);
    Cookie counting;
    stream = { reinterpret_cast<std::uintptr_t>(&counting), 0, Writer };
    EXPECT_EQ(SendMessageW(window, EM_STREAMOUT, SF_RTF, &stream), 0);
    EXPECT_EQ(stream.dwError, kStreamFormatNotAvailable);
    EXPECT_EQ(counting.calls, 0);

    // A writer that takes less ends the stream; one that fails keeps its error.
    EXPECT_EQ(StreamIn(std::string(10000, 'a')), 0);
    std::vector<std::uint8_t> taken;
    Cookie stopping { .output = &taken, .limit = 5 };
    stream = { reinterpret_cast<std::uintptr_t>(&stopping), 0, Writer };
    EXPECT_EQ(SendMessageW(window, EM_STREAMOUT, SF_UNICODE_TEXT, &stream), 5);
    EXPECT_EQ(stopping.calls, 1);
    EXPECT_EQ(taken.size(), 5u);
    Cookie failing { .failWith = 9 };
    stream = { reinterpret_cast<std::uintptr_t>(&failing), 0, Writer };
    EXPECT_EQ(SendMessageW(window, EM_STREAMOUT, SF_UNICODE_TEXT, &stream), 0);
    EXPECT_EQ(stream.dwError, 9u);

    EDITSTREAM noCallback { reinterpret_cast<std::uintptr_t>(&cookie), 0, nullptr };
    EXPECT_NE(SendMessageW(window, EM_STREAMIN, SF_POCKETWORD_RTF, &noCallback), 0);
    EXPECT_NE(SendMessageW(nullptr, EM_STREAMIN, SF_POCKETWORD_RTF, &noCallback), 0);
    EXPECT_NE(SendMessageW(window, EM_STREAMIN, SF_POCKETWORD_RTF, nullptr), 0);
    EXPECT_EQ(SendMessageW(window, EM_STREAMOUT, SF_UNICODE_TEXT, nullptr), 0);
    EXPECT_EQ(SendMessageW(window, 0x1234, SF_UNICODE_TEXT, &noCallback), 0);
}

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return { text.begin(), text.end() };
}

TEST(PlainTextDecodingTest, DetectsTheEncodingAndDecodesDroppingTheUtf8MarkAndReplacingWhatIsInvalid)
{
    struct Row {
        std::string_view bytes;
        TextEncoding encoding;
    };
    using namespace std::string_view_literals;
    // The byte-order marks and NUL bytes the converter refuses, and text in
    // the code page or in UTF-8, are its own cases; here the edges of UTF-8.
    const Row rows[] = {
        { ""sv, TextEncoding::Ansi }, { "plain ASCII\n"sv, TextEncoding::Ansi },
        { "\xef\xbb\xbf"sv, TextEncoding::Utf8WithMark }, { "\xff"sv, TextEncoding::Ansi },
        { "\xef\xbb\xbf\0"sv, TextEncoding::Refused }, { "\xc0\xaf"sv, TextEncoding::Ansi }, // overlong form
        { "\xed\xa0\x80"sv, TextEncoding::Ansi }, // a surrogate
        { "\xf4\x90\x80\x80"sv, TextEncoding::Ansi }, // above U+10FFFF
        { "ok \xc3"sv, TextEncoding::Ansi }, // truncated at the end
        { "\xe2\x82"sv, TextEncoding::Ansi }, // truncated three-byte form
        { "\xf0\x9f\x98\x80 smile"sv, TextEncoding::Utf8 }, // four bytes
        { "\xc3\xa9 then \xe9"sv, TextEncoding::Ansi }, // mixed: not UTF-8
        // Long runs of ASCII, read eight bytes at a time, before and after.
        { "seventeen bytes..\xc3\xa9 and eight ASCII\n"sv, TextEncoding::Utf8 },
        { "sixteen bytes...\xe9"sv, TextEncoding::Ansi },
        { "nine byte\xc3"sv, TextEncoding::Ansi },
        { "exactly eight by\xf0\x9f\x98\x80"sv, TextEncoding::Utf8 },
        { "a long line of text, then\0"sv, TextEncoding::Refused },
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::DetectTextEncoding(Bytes(row.bytes)), row.encoding) << row.bytes;

    // Plain text drops the UTF-8 mark and reads the rest, replacing what is invalid.
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    struct DecodeRow {
        std::string_view bytes;
        std::optional<std::u16string> text;
    };
    const DecodeRow decoded[] = {
        { "\xef\xbb\xbfna\xc3\xafve"sv, u"naïve" },
        { "na\xc3\xafve"sv, u"naïve" },
        { "\xd0\x9f\xd1\x80\xd0\xb8"sv, u"При" },
        { "\xe6\x97\xa5\xe6\x9c\xac"sv, u"日本" },
        { "\xf0\x9f\x98\x80"sv, u"\U0001F600" },
        // After the mark, what is not UTF-8 is replaced.
        { "\xef\xbb\xbf"
          "a\xc3"sv,
            u"a\uFFFD" },
        { "\xef\xbb\xbf\xc0\xafz"sv, u"\uFFFD\uFFFDz" },
        { "\xef\xbb\xbf\xed\xa0\x80"sv, u"\uFFFD\uFFFD\uFFFD" },
        { "na\xefve \x80"sv, u"naïve €" },
        { "\xe9\xe8\xff"sv, u"éèÿ" },
        { "\xff\xfeh\0"sv, std::nullopt },
        { "bin\0ary"sv, std::nullopt },
        { ""sv, u"" },
    };
    for (const DecodeRow& row : decoded)
        EXPECT_EQ(platform::DecodePlainText(Bytes(row.bytes)), row.text) << row.bytes;
}

} // namespace
