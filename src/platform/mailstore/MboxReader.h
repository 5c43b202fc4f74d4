#pragma once

// Reading an mbox file: the messages one after another, each starting at its
// "From " line. GMime's parser finds the messages; this layer keeps, for
// each one, where it lies in the file and what names it, so the message can
// be found again after mail is appended. The file is only ever read.

#include "MapiTypes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MboxMessageSpan {
    std::int64_t markerOffset = 0; // the "From " line
    std::int64_t headersBegin = 0; // the message's first header
    std::int64_t headersEnd = 0;
    std::int64_t end = 0; // the next "From " line, or the end of the file
    std::uint64_t keyHash = 0; // of the Message-ID, else of the "From " line
    bool seen = false; // "R" in Status:, or bit 0x0001 of X-Mozilla-Status:
    // Bit 0x0008 of X-Mozilla-Status: deleted in Thunderbird and left in the
    // file until the folder is compacted; no mail reader shows it.
    bool deleted = false;
    std::optional<FILETIME> date; // the Date header, else the "From " line's time
};

// The messages of an mbox file, in file order, deleted ones included. Empty
// for an empty file or one that cannot be read.
std::vector<MboxMessageSpan> ScanMboxFile(const std::filesystem::path& path);
// The same over bytes in memory.
std::vector<MboxMessageSpan> ScanMboxBytes(std::span<const std::uint8_t> bytes);

// True when the file is empty or starts with a "From " line.
bool LooksLikeMboxFile(const std::filesystem::path& path);

// The message part of an entry identifier: "<offset>-<hash>".
std::string MboxMessageName(const MboxMessageSpan& span);
struct MboxMessageRef {
    std::int64_t markerOffset = 0;
    std::uint64_t keyHash = 0;
};
std::optional<MboxMessageRef> ParseMboxMessageName(std::string_view name);

// The message the name stands for: the one whose "From " line is at the
// offset, when it still has the same Message-ID; else, when the file was
// rewritten, the first message with that Message-ID.
std::optional<MboxMessageSpan> FindMboxMessage(const std::filesystem::path& path, const MboxMessageRef& ref);

// The bytes of the range, read from the file; null when they cannot be.
std::shared_ptr<const std::vector<std::uint8_t>> ReadFileRange(
    const std::filesystem::path& path, std::int64_t begin, std::int64_t end);

} // namespace platform
