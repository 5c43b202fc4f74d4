#include "RegistryText.h"

#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace platform::registry {
namespace {

using platform::testing::Utf16LeWithBom;

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

// UTF-16LE with its terminator, as a string value holds it.
std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text)
{
    const std::string bytes = Utf16LeWithBom(std::u16string(text) + u'\0');
    return { bytes.begin() + 2, bytes.end() };
}

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

std::string HexText(std::size_t count)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n[K]\r\n\"Big\"=hex:";
    text.reserve(text.size() + count * 3);
    for (std::size_t i = 0; i < count; ++i)
        text += i + 1 < count ? "ab," : "ab";
    return text + "\r\n";
}

TEST(RegistryTextTest, ReadsTheFormsOfTheExportFormat)
{
    const std::string tallowin = "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin]";
    const std::u16string tallowinKey = u"HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin";
    struct ReadRow {
        const char* what;
        std::string text;
        std::u16string key;
        std::u16string value;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const ReadRow rows[] = {
        { "continued hex, CRLF", std::string(kHeader) + tallowin + "\r\n\"PrStore\"=hex:01,02,\\\r\n  03,04\r\n\r\n",
            tallowinKey, u"PrStore", kTypeBinary, { 1, 2, 3, 4 } },
        { "LF and odd spacing",
            "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Software]\n  \"X\" =  hex: 0a , b ,\\\n\t  ff  "
            "\n",
            u"HKEY_LOCAL_MACHINE\\Software", u"X", kTypeBinary, { 0x0A, 0x0B, 0xFF } },
        { "CR line ends", "Windows Registry Editor Version 5.00\r[K]\r\"X\"=hex:01\r", u"K", u"X", kTypeBinary, { 1 } },
        { "old header", "REGEDIT4\r\n\r\n[K]\r\n\"X\"=hex:05\r\n", u"K", u"X", kTypeBinary, { 5 } },
        { "dword", std::string(kHeader) + "[K]\r\n\"D\"=dword:0000010c\r\n", u"K", u"D", kTypeDword,
            { 0x0C, 1, 0, 0 } },
        { "later value wins", std::string(kHeader) + "[K]\r\n\"X\"=hex:01\r\n\"x\"=hex:02\r\n", u"K", u"X", kTypeBinary,
            { 2 } },
        { "sections merge", std::string(kHeader) + "[K]\r\n\"A\"=hex:01\r\n\r\n[L]\r\n\r\n[k]\r\n\"B\"=hex:02\r\n",
            u"K", u"B", kTypeBinary, { 2 } },
        { "names ignore case", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"PRSTORE\"=hex:03\r\n",
            u"hkey_local_machine\\software", u"PrStore", kTypeBinary, { 3 } },
        { "continued over blank-ended lines", std::string(kHeader) + "[K]\r\n\"X\"=hex:01,\\   \r\n   02,\\\r\n 03\r\n",
            u"K", u"X", kTypeBinary, { 1, 2, 3 } },
        { "the largest value", HexText(kMaxValueBytes), u"K", u"Big", kTypeBinary,
            std::vector<std::uint8_t>(kMaxValueBytes, 0xAB) },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        auto result = ParseRegistryText(AsBytes(row.text));
        ASSERT_FALSE(result.Damaged) << result.Reason << " at line " << result.Line;
        const auto* key = FindKey(result.Data, row.key);
        ASSERT_NE(key, nullptr);
        const auto* value = FindValue(*key, row.value);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Type, row.type);
        EXPECT_EQ(value->Data, row.data);
    }
}

TEST(RegistryTextTest, EmptyFilesAreEmptyAndDamagedOnesYieldNothingAndNameTheLine)
{
    // Empty files are empty, not damaged.
    const std::string empty[]
        = { "", "\r\n\r\n", "  \n\t\n", "\xEF\xBB\xBF", "\xFF\xFE", "Windows Registry Editor Version 5.00\r\n" };
    for (const auto& text : empty) {
        auto result = ParseRegistryText(AsBytes(text));
        EXPECT_FALSE(result.Damaged) << result.Reason;
        EXPECT_TRUE(result.Data.Keys.empty());
    }

    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    struct DamagedRow {
        const char* what;
        std::string text;
        std::size_t line;
    };
    const DamagedRow rows[] = {
        { "no header", "hello\r\n", 1 },
        { "header after a key", "[K]\r\nWindows Registry Editor Version 5.00\r\n", 1 },
        { "value before key", header + "\"a\"=hex:00\r\n", 2 },
        { "open key line", header + "[K]\r\n[L\r\n", 3 },
        { "key without name", header + "[]\r\n", 2 },
        { "key deletion", header + "[-K]\r\n", 2 },
        { "value deletion", header + "[K]\r\n\"a\"=-\r\n", 3 },
        { "open value name", header + "[K]\r\n\"a=hex:00\r\n", 3 },
        { "open string", header + "[K]\r\n\"a\"=\"abc\r\n", 3 },
        { "text after string", header + "[K]\r\n\"a\"=\"abc\" x\r\n", 3 },
        { "no equals sign", header + "[K]\r\n\"a\" hex:00\r\n", 3 },
        { "not a hex digit", header + "[K]\r\n\"a\"=hex:0g\r\n", 3 },
        { "no commas", header + "[K]\r\n\"a\"=hex:01 02\r\n", 3 },
        { "double comma", header + "[K]\r\n\"a\"=hex:01,,02\r\n", 3 },
        { "cut after a comma", header + "[K]\r\n\"a\"=hex:01,02,\r\n", 3 },
        { "cut after a backslash", header + "[K]\r\n\"a\"=hex:01,\\\r\n  02,\\\r\n", 3 },
        { "nine-digit dword", header + "[K]\r\n\"a\"=dword:000000001\r\n", 3 },
        { "bad hex type", header + "[K]\r\n\"a\"=hex(zz):00\r\n", 3 },
        { "hex without colon", header + "[K]\r\n\"a\"=hex 00\r\n", 3 },
        { "unknown data", header + "[K]\r\n\"a\"=foo\r\n", 3 },
        { "stray line", header + "[K]\r\nfoo\r\n", 3 },
        { "fault on a continued line", header + "[K]\r\n\"a\"=hex:00,\\\r\n  zz\r\n", 3 },
        { "malformed UTF-8", header + "[K]\r\n\"a\"=\"\xC3\x28\"\r\n", 1 },
        { "odd UTF-16", std::string("\xFF\xFEW\x00W", 5), 1 },
        { "lone surrogate in UTF-16",
            Utf16LeWithBom(u"Windows Registry Editor Version 5.00\r\n[K]\r\n\"a\"=\"\xD800\"\r\n"), 1 },
        { "a value too large", HexText(kMaxValueBytes + 1), 3 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        auto result = ParseRegistryText(AsBytes(row.text));
        EXPECT_TRUE(result.Damaged);
        EXPECT_EQ(result.Line, row.line);
        EXPECT_FALSE(result.Reason.empty());
        EXPECT_TRUE(result.Data.Keys.empty());
    }
    EXPECT_TRUE(ParseRegistryText(AsBytes(std::string(kMaxFileBytes + 1, ' '))).Damaged) << "a file too large";
}

TEST(RegistryTextTest, WritesTheExportLayout)
{
    RegistryData data;
    auto& key = AddKey(data, u"HKEY_LOCAL_MACHINE\\Software\\Test");
    std::vector<std::uint8_t> counting;
    for (std::uint8_t i = 0; i < 30; ++i)
        counting.push_back(i);
    SetValue(key, u"Bin", kTypeBinary, counting);
    SetValue(key, u"Num", kTypeDword, std::vector<std::uint8_t> { 0x34, 0x12, 0, 0 });
    SetValue(key, u"Te\"xt", kTypeString, Utf16Bytes(u"a\\b"));
    SetValue(key, u"", kTypeString, Utf16Bytes(u"x"));
    SetValue(key, u"Multi", 7, std::vector<std::uint8_t> { 0x61, 0, 0, 0, 0, 0 });
    SetValue(key, u"Empty", kTypeBinary, std::vector<std::uint8_t> {});
    AddKey(data, u"HKEY_LOCAL_MACHINE\\Software\\Other");

    const std::string expected = "Windows Registry Editor Version 5.00\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
                                 "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
                                 "  16,17,18,19,1a,1b,1c,1d\r\n"
                                 "\"Num\"=dword:00001234\r\n"
                                 "\"Te\\\"xt\"=\"a\\\\b\"\r\n"
                                 "@=\"x\"\r\n"
                                 "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
                                 "\"Empty\"=hex:\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                                 "\r\n";
    EXPECT_EQ(FormatRegistryText(data), expected);
}

TEST(RegistryTextTest, HandWrittenNotesStayInPlaceThroughARewrite)
{
    const std::string before = "; kept in dotfiles\r\n"
                               "Windows Registry Editor Version 5.00\r\n"
                               "\r\n"
                               "; the program's own options\r\n"
                               "[K]\r\n"
                               "  ; grid off for the lab printer\r\n"
                               "\"A\"=hex:01\r\n"
                               "\r\n"
                               "\r\n"
                               "\"B\"=hex:02\r\n"
                               "; end\r\n";
    auto parsed = ParseRegistryText(AsBytes(before));
    ASSERT_FALSE(parsed.Damaged) << parsed.Reason;
    auto& key = AddKey(parsed.Data, u"K");
    SetValue(key, u"A", kTypeBinary, std::vector<std::uint8_t> { 0xA1 });
    SetValue(key, u"C", kTypeBinary, std::vector<std::uint8_t> { 3 });
    std::string after = before;
    after.replace(after.find("hex:01"), 6, "hex:a1");
    after.insert(after.find("; end"), "\"C\"=hex:03\r\n");
    EXPECT_EQ(FormatRegistryText(parsed.Data), after);
}

TEST(RegistryTextTest, WhatIsWrittenReadsBackTheSame)
{
    RegistryData data;
    auto& key = AddKey(data, u"HKEY_LOCAL_MACHINE\\Software\\Gr\u00FC\u00DFe \U0001F600");
    SetValue(key, u"Binary", kTypeBinary, std::vector<std::uint8_t>(300, 0x5A));
    SetValue(key, u"Quote\"Back\\slash", kTypeString, Utf16Bytes(u"\u20AC \"q\" \\ \t"));
    SetValue(key, u"Line break", kTypeString, Utf16Bytes(u"two\r\nlines"));
    SetValue(key, u"Odd string", kTypeString, std::vector<std::uint8_t> { 0x41, 0, 0 });
    SetValue(key, u"Unterminated", kTypeString, std::vector<std::uint8_t> { 0x41, 0 });
    SetValue(key, u"Inner NUL", kTypeString, std::vector<std::uint8_t> { 0x41, 0, 0, 0, 0x42, 0, 0, 0 });
    SetValue(key, u"Lone surrogate", kTypeString, std::vector<std::uint8_t> { 0x00, 0xD8, 0, 0 });
    SetValue(key, u"Short dword", kTypeDword, std::vector<std::uint8_t> { 1, 2, 3 });
    SetValue(key, u"Big type", 0x12345678, std::vector<std::uint8_t> { 9 });
    SetValue(key, u"", kTypeBinary, std::vector<std::uint8_t> {});
    AddKey(data, u"HKEY_CURRENT_USER\\Empty");

    auto text = FormatRegistryText(data);
    auto result = ParseRegistryText(AsBytes(text));
    ASSERT_FALSE(result.Damaged) << result.Reason << " at line " << result.Line << "\n" << text;
    ASSERT_EQ(result.Data.Keys.size(), data.Keys.size());
    for (std::size_t k = 0; k < data.Keys.size(); ++k) {
        EXPECT_EQ(result.Data.Keys[k].Path, data.Keys[k].Path);
        ASSERT_EQ(result.Data.Keys[k].Values.size(), data.Keys[k].Values.size());
        for (std::size_t v = 0; v < data.Keys[k].Values.size(); ++v) {
            const auto& written = data.Keys[k].Values[v];
            const auto& read = result.Data.Keys[k].Values[v];
            EXPECT_EQ(std::tie(read.Name, read.Type, read.Data), std::tie(written.Name, written.Type, written.Data));
        }
    }
}

} // namespace
} // namespace platform::registry
