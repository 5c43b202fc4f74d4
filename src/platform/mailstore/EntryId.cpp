#include "EntryId.h"

#include <array>
#include <cstring>

namespace platform {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = { 'T', 'L', 'W', 'M' };
constexpr std::uint8_t kVersion = 1;
// Each field is a 16-bit length and its bytes, so a saved identifier fits the
// settings' 16-bit length fields.
constexpr std::size_t kMaxFieldLength = 4096;

void PutField(std::vector<std::uint8_t>& out, const std::string& field)
{
    const std::size_t length = std::min(field.size(), kMaxFieldLength);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.insert(out.end(), field.begin(), field.begin() + static_cast<std::ptrdiff_t>(length));
}

bool TakeField(std::span<const std::uint8_t>& bytes, std::string& field)
{
    if (bytes.size() < 2) {
        return false;
    }
    const std::size_t length = bytes[0] | (std::size_t { bytes[1] } << 8);
    if (length > kMaxFieldLength || bytes.size() - 2 < length) {
        return false;
    }
    field.assign(reinterpret_cast<const char*>(bytes.data() + 2), length);
    bytes = bytes.subspan(2 + length);
    return true;
}

} // namespace

std::vector<std::uint8_t> MakeEntryId(const ParsedEntryId& id)
{
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.push_back(kVersion);
    out.push_back(static_cast<std::uint8_t>(id.kind));
    PutField(out, id.storePath);
    if (id.kind == EntryKind::Folder || id.kind == EntryKind::Message) {
        PutField(out, id.folder);
    }
    if (id.kind == EntryKind::Message) {
        PutField(out, id.message);
    }
    return out;
}

std::optional<ParsedEntryId> ParseEntryId(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kMagic.size() + 2 || std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0
        || bytes[kMagic.size()] != kVersion) {
        return std::nullopt;
    }
    ParsedEntryId id;
    const std::uint8_t kind = bytes[kMagic.size() + 1];
    if (kind < static_cast<std::uint8_t>(EntryKind::Store)
        || kind > static_cast<std::uint8_t>(EntryKind::MessageFile)) {
        return std::nullopt;
    }
    id.kind = static_cast<EntryKind>(kind);
    bytes = bytes.subspan(kMagic.size() + 2);
    if (!TakeField(bytes, id.storePath) || id.storePath.empty()) {
        return std::nullopt;
    }
    if ((id.kind == EntryKind::Folder || id.kind == EntryKind::Message) && !TakeField(bytes, id.folder)) {
        return std::nullopt;
    }
    if (id.kind == EntryKind::Message && (!TakeField(bytes, id.message) || id.message.empty())) {
        return std::nullopt;
    }
    if (!bytes.empty()) {
        return std::nullopt;
    }
    return id;
}

} // namespace platform
