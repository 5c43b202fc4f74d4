#pragma once

// A stream over given bytes whose reads fail once a number of them have
// succeeded, as a store's stream does when a message is damaged.

#include "MapiInterfaces.h"
#include "MemoryStream.h"

#include <cstdint>
#include <vector>

namespace email::test {

class CountedStream final : public platform::IStream {
public:
    // goodReads: how many reads succeed before every read fails; -1 for all.
    CountedStream(std::vector<std::uint8_t> bytes, int goodReads)
        : inner_(std::move(bytes))
        , goodReads_(goodReads)
    {
    }
    platform::HRESULT Read(void* buffer, platform::ULONG count, platform::ULONG* read) override
    {
        if (goodReads_ == 0) {
            return platform::STG_E_READFAULT;
        }
        if (goodReads_ > 0) {
            --goodReads_;
        }
        return inner_.Read(buffer, count, read);
    }
    platform::HRESULT Seek(std::int64_t offset, platform::ULONG origin, std::uint64_t* position) override
    {
        return inner_.Seek(offset, origin, position);
    }
    platform::HRESULT Stat(platform::STATSTG* stat, platform::ULONG flags) override { return inner_.Stat(stat, flags); }

private:
    platform::MemoryStream inner_;
    int goodReads_;
};

} // namespace email::test
