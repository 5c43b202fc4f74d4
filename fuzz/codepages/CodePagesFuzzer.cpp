// Feeds arbitrary bytes to the code-page conversion, the locale-name parser
// and the path conversion. The first byte picks the code page, the second
// the size of the output buffer.

#include "CodePages.h"
#include "FilePath.h"
#include "PosixLocale.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::array<platform::UINT, 17> kCodePages { 874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256,
    1257, 1258, platform::CP_UTF8, 437, 0 };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    platform::UINT codePage = kCodePages[data[0] % kCodePages.size()];
    int outSize = data[1];
    const char* bytes = reinterpret_cast<const char*>(data + 2);
    int count = static_cast<int>(size - 2);

    if (count > 0) {
        int needed = platform::MultiByteToWideChar(codePage, 0, bytes, count, nullptr, 0);
        std::vector<char16_t> out(static_cast<std::size_t>(outSize) + 1);
        int written = platform::MultiByteToWideChar(codePage, 0, bytes, count, out.data(), outSize);
        if (written != 0 && written != needed)
            __builtin_trap();
        if (outSize > 0 && written > outSize)
            __builtin_trap();
        for (int i = 0; i < count; ++i)
            platform::IsDBCSLeadByteEx(codePage, static_cast<std::uint8_t>(bytes[i]));
    }

    std::string text(bytes, static_cast<std::size_t>(count));
    std::string id = platform::IcuLocaleId(text);
    platform::LangIdFromLocaleName(text);
    if (id.size() > 64)
        __builtin_trap();

    std::u16string path(static_cast<std::size_t>(count) / 2, u'\0');
    std::memcpy(path.data(), bytes, path.size() * sizeof(char16_t));
    platform::FileSystemPath(path);
    return 0;
}
