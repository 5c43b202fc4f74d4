#include "FileMapping.h"
#include "FilePath.h"
#include "ScopedEnvironment.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unicode/unistr.h>

namespace {

using namespace platform;
namespace fs = std::filesystem;

std::u16string Utf16(const std::string& text)
{
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    return std::u16string(unicode.getBuffer(), static_cast<std::size_t>(unicode.length()));
}

class FileMappingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write("a.txt", "hello");
        Write("empty.txt", "");
        fs::create_directory(m_directory / "docs");
        Write("docs/a.txt", "in docs");
        Write("docs/\xc3\xbc.txt", "umlaut");
        fs::create_directory(m_directory / "sub");
        ASSERT_EQ(mkfifo((m_directory / "fifo").c_str(), 0600), 0);
        m_oldDirectory = fs::current_path();
        fs::current_path(m_directory);
    }

    void TearDown() override { fs::current_path(m_oldDirectory); }

    void Write(const char* name, const std::string& contents)
    {
        std::ofstream(m_directory / name, std::ios::binary) << contents;
    }

    std::u16string Absolute(const char16_t* relative) const { return Utf16(m_directory.string()) + u"\\" + relative; }

    static HANDLE OpenForReading(const std::u16string& path)
    {
        return CreateFileForMappingW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    }

    TempDirectory m_temporary;
    const fs::path m_directory = m_temporary.Root();
    fs::path m_oldDirectory;
};

TEST_F(FileMappingTest, OpenSizeMapReadAndRefuseWhatCannotBeDone)
{
    struct MapRow {
        std::u16string path;
        bool opens;
        DWORD size;
        const char* contents; // null: the mapping fails
    };
    const MapRow rows[] = {
        { u"a.txt", true, 5, "hello" },
        { u"docs\\a.txt", true, 7, "in docs" },
        { u"docs/a.txt", true, 7, "in docs" },
        { Absolute(u"docs\\a.txt"), true, 7, "in docs" },
        { u"sub\\..\\docs\\\u00fc.txt", true, 6, "umlaut" },
        { u"empty.txt", true, 0, nullptr },
        { u"missing.txt", false, 0, nullptr },
        { u"sub", false, 0, nullptr },
        { u"fifo", false, 0, nullptr },
        { u"", false, 0, nullptr },
    };
    for (const MapRow& row : rows) {
        ScopedHandle file(OpenForReading(row.path));
        ASSERT_EQ(file.IsValid(), row.opens) << std::string(row.path.begin(), row.path.end());
        if (!row.opens) {
            EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
            continue;
        }
        DWORD high = 7;
        EXPECT_EQ(GetFileSize(file.Get(), &high), row.size);
        EXPECT_EQ(high, 0u);
        ScopedHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (row.contents == nullptr) {
            EXPECT_EQ(mapping.Get(), nullptr);
            continue;
        }
        ASSERT_NE(mapping.Get(), nullptr);
        ScopedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
        ASSERT_NE(view.Get(), nullptr);
        EXPECT_EQ(std::string(static_cast<const char*>(view.Get()), row.size), row.contents);
    }

    // A view outlives its handles.
    HANDLE first = OpenForReading(u"a.txt");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    HANDLE firstMapping = CreateFileMappingW(first, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(firstMapping, nullptr);
    EXPECT_TRUE(CloseHandle(first));
    void* view = MapViewOfFile(firstMapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(firstMapping));
    EXPECT_EQ(std::memcmp(view, "hello", 5), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(firstMapping));

    ScopedHandle file(OpenForReading(u"a.txt"));
    ASSERT_TRUE(file.IsValid());
    // Mappings are read-only and never reach past the end of the file.
    EXPECT_EQ(CreateFileMappingW(file.Get(), nullptr, 0x04, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 6, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, u"shared"), nullptr);
    // Handles of the wrong kind.
    EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingW(nullptr, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(MapViewOfFile(file.Get(), FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);

    ScopedHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    ASSERT_NE(mapping.Get(), nullptr);
    EXPECT_EQ(GetFileSize(mapping.Get(), nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(MapViewOfFile(mapping.Get(), FILE_MAP_READ | 0x02, 0, 0, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 6), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 1, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 1, 0, 0), nullptr);
    ScopedView part(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 3));
    ASSERT_NE(part.Get(), nullptr);
    EXPECT_EQ(std::memcmp(part.Get(), "hel", 3), 0);

    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(UnmapViewOfFile(nullptr));
    EXPECT_EQ(
        CreateFileForMappingW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileForMappingW(u"a.txt", GENERIC_READ, 0, nullptr, 1, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileForMappingW(u"a.txt", GENERIC_READ | 0x40000000, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
}

TEST(FilePathTest, BackslashSeparatesAndTextBecomesUtf8)
{
    const std::pair<std::u16string, const char*> rows[] = {
        { u"docs\\a.txt", "docs/a.txt" },
        { u"\\tmp\\docs\\a.txt", "/tmp/docs/a.txt" },
        { u"docs/a.txt", "docs/a.txt" },
        { u"Gr\u00fc\u00dfe\\\u6587\u66f8.rtf",
            "Gr\xc3\xbc\xc3\x9f"
            "e/\xe6\x96\x87\xe6\x9b\xb8.rtf" },
        { u"\U0001F600.txt", "\xf0\x9f\x98\x80.txt" },
        { u"", nullptr },
        { std::u16string(u"a\0b", 3), nullptr },
        { std::u16string(1, u'\xD800') + u".txt", nullptr },
        { u"x" + std::u16string(1, u'\xDC00'), nullptr },
        { std::u16string(32768, u'a'), nullptr },
    };
    for (const auto& [name, expected] : rows) {
        std::optional<std::string> path = platform::FileSystemPath(name);
        if (expected == nullptr) {
            EXPECT_FALSE(path.has_value()) << name.size();
            continue;
        }
        ASSERT_TRUE(path.has_value()) << expected;
        EXPECT_EQ(*path, expected);
    }
    EXPECT_TRUE(platform::FileSystemPath(std::u16string(32767, u'a')).has_value());
}

} // namespace
