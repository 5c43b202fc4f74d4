#pragma once

// A librevenge input stream over bytes held in memory. The bytes are not
// copied: they must outlive the stream.

#include <librevenge-stream/librevenge-stream.h>

#include <cstdint>
#include <span>

namespace platform {

class MemoryInputStream final : public librevenge::RVNGInputStream {
public:
    explicit MemoryInputStream(std::span<const std::uint8_t> bytes);

    // A Pocket Word file is one stream, never an OLE2 storage.
    bool isStructured() override { return false; }
    unsigned subStreamCount() override { return 0; }
    const char* subStreamName(unsigned) override { return nullptr; }
    bool existsSubStream(const char*) override { return false; }
    librevenge::RVNGInputStream* getSubStreamByName(const char*) override { return nullptr; }
    librevenge::RVNGInputStream* getSubStreamById(unsigned) override { return nullptr; }

    const unsigned char* read(unsigned long numBytes, unsigned long& numBytesRead) override;
    int seek(long offset, librevenge::RVNG_SEEK_TYPE seekType) override;
    long tell() override;
    bool isEnd() override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace platform
