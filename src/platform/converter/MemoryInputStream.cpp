#include "MemoryInputStream.h"

#include <algorithm>

namespace platform {

MemoryInputStream::MemoryInputStream(std::span<const std::uint8_t> bytes)
    : bytes_(bytes)
{
}

const unsigned char* MemoryInputStream::read(unsigned long numBytes, unsigned long& numBytesRead)
{
    const std::size_t left = bytes_.size() - position_;
    numBytesRead = static_cast<unsigned long>(std::min<std::size_t>(numBytes, left));
    if (numBytesRead == 0)
        return nullptr;
    const unsigned char* start = bytes_.data() + position_;
    position_ += numBytesRead;
    return start;
}

// A seek outside the bytes fails and moves to the nearest end, as the
// library's own streams do.
int MemoryInputStream::seek(long offset, librevenge::RVNG_SEEK_TYPE seekType)
{
    long base = 0;
    if (seekType == librevenge::RVNG_SEEK_CUR)
        base = static_cast<long>(position_);
    else if (seekType == librevenge::RVNG_SEEK_END)
        base = static_cast<long>(bytes_.size());
    const long size = static_cast<long>(bytes_.size());
    long target = 0;
    if (__builtin_add_overflow(base, offset, &target))
        target = offset < 0 ? -1 : size + 1;
    if (target < 0) {
        position_ = 0;
        return -1;
    }
    if (target > size) {
        position_ = bytes_.size();
        return -1;
    }
    position_ = static_cast<std::size_t>(target);
    return 0;
}

long MemoryInputStream::tell()
{
    return static_cast<long>(position_);
}

bool MemoryInputStream::isEnd()
{
    return position_ >= bytes_.size();
}

} // namespace platform
