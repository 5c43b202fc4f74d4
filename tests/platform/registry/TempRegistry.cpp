#include "TempRegistry.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platform::testing {

void TempRegistry::SetUp()
{
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / "tallowin-registry-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    ::setenv("TALLOWIN_REGISTRY", File().c_str(), 1);
}

void TempRegistry::TearDown()
{
    ::unsetenv("TALLOWIN_REGISTRY");
    std::error_code error;
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(directory_, error);
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Utf16LeWithBom(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

} // namespace platform::testing
