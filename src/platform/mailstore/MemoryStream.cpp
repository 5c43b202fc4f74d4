#include "MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace platform {

MemoryStream::MemoryStream(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
    : bytes_(std::move(bytes))
{
    if (!bytes_) {
        bytes_ = std::make_shared<const std::vector<std::uint8_t>>();
    }
}

MemoryStream::MemoryStream(std::vector<std::uint8_t> bytes)
    : bytes_(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)))
{
}

HRESULT MemoryStream::Read(void* buffer, ULONG count, ULONG* read)
{
    if (buffer == nullptr && count > 0) {
        return STG_E_INVALIDFUNCTION;
    }
    const std::uint64_t size = bytes_->size();
    const std::uint64_t available = position_ < size ? size - position_ : 0;
    const ULONG taken = static_cast<ULONG>(std::min<std::uint64_t>(available, count));
    if (taken > 0) {
        std::memcpy(buffer, bytes_->data() + position_, taken);
    }
    position_ += taken;
    if (read != nullptr) {
        *read = taken;
    }
    return S_OK;
}

HRESULT MemoryStream::Seek(std::int64_t offset, ULONG origin, std::uint64_t* newPosition)
{
    std::int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET:
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        base = static_cast<std::int64_t>(position_);
        break;
    case STREAM_SEEK_END:
        base = static_cast<std::int64_t>(bytes_->size());
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
        return STG_E_INVALIDFUNCTION;
    }
    position_ = static_cast<std::uint64_t>(base + offset);
    if (newPosition != nullptr) {
        *newPosition = position_;
    }
    return S_OK;
}

HRESULT MemoryStream::Stat(STATSTG* stat, ULONG flags)
{
    if (stat == nullptr) {
        return STG_E_INVALIDFUNCTION;
    }
    stat->cbSize = bytes_->size();
    return S_OK;
}

} // namespace platform
