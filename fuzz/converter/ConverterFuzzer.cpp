// Streams arbitrary bytes into the document converter and back out as
// Unicode text, as document open does.
#include "RichInk.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Cursor {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    std::size_t written;
};

std::uint32_t Read(std::uintptr_t cookie, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cursor = *reinterpret_cast<Cursor*>(cookie);
    std::size_t take = cursor.size - cursor.pos;
    if (take > static_cast<std::size_t>(count))
        take = static_cast<std::size_t>(count);
    std::memcpy(buffer, cursor.data + cursor.pos, take);
    cursor.pos += take;
    *done = static_cast<std::int32_t>(take);
    return 0;
}

std::uint32_t Count(std::uintptr_t cookie, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cursor = *reinterpret_cast<Cursor*>(cookie);
    for (std::int32_t i = 0; i + 1 < count; i += 2)
        if (buffer[i] == 0 && buffer[i + 1] == 0)
            std::abort(); // a NUL in the output would come from a NUL in a refused input
    cursor.written += static_cast<std::size_t>(count);
    *done = count;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::InitRichInkDLL();
    platform::RichInkWindow window = platform::CreateRichInkWindow(nullptr, 101, nullptr);
    Cursor cursor { data, size, 0, 0 };
    platform::EDITSTREAM in { reinterpret_cast<std::uintptr_t>(&cursor), 0, Read };
    if (platform::SendMessageW(window, platform::EM_STREAMIN, platform::SF_POCKETWORD_RTF, &in) == 0) {
        platform::EDITSTREAM out { reinterpret_cast<std::uintptr_t>(&cursor), 0, Count };
        std::intptr_t written = platform::SendMessageW(window, platform::EM_STREAMOUT, platform::SF_UNICODE_TEXT, &out);
        if (static_cast<std::size_t>(written) != cursor.written || written % 2 != 0
            || static_cast<std::size_t>(written) > 4 * size)
            std::abort();
    }
    platform::DestroyWindow(window);
    return 0;
}
