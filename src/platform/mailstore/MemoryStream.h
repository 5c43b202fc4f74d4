#pragma once

// A read-only stream over bytes held in memory: the raw text of a message,
// a body in UTF-16, or test input.

#include "MapiInterfaces.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class MemoryStream final : public IStream {
public:
    explicit MemoryStream(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
    explicit MemoryStream(std::vector<std::uint8_t> bytes);

    HRESULT Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT Seek(std::int64_t offset, ULONG origin, std::uint64_t* newPosition) override;
    HRESULT Stat(STATSTG* stat, ULONG flags) override;

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::uint64_t position_ = 0;
};

} // namespace platform
