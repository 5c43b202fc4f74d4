#include "Source.h"

#include <cstdlib>
#include <limits>

namespace rtf {

std::uint8_t* SourceData = nullptr;
std::int32_t SourceLength = 0;
std::int32_t SourcePos = 0;

bool AllocateSourceData(std::int32_t length)
{
    ReleaseSourceData();
    if (length < 0 || length > std::numeric_limits<std::int32_t>::max() - kSourcePadding)
        return false;
    void* buffer = std::calloc(static_cast<std::size_t>(length) + kSourcePadding, 1);
    if (!buffer)
        return false;
    SourceData = static_cast<std::uint8_t*>(buffer);
    SourceLength = length;
    return true;
}

void ReleaseSourceData()
{
    std::free(SourceData);
    SourceData = nullptr;
    SourceLength = 0;
    SourcePos = 0;
}

int GetSourceChar()
{
    if (!SourceData || SourcePos < 0 || SourcePos >= SourceLength)
        return -1;
    return SourceData[SourcePos++];
}

void UngetSourceChar()
{
    if (SourcePos > 0)
        --SourcePos;
}

} // namespace rtf
