#pragma once

// Entry identifiers of the Maildir stores. To callers they are opaque byte
// blocks; inside they name the store by its directory, the folder by its
// Maildir++ name and a message by the unique part of its file name, so they
// stay valid between runs and across flag changes that rename the file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class EntryKind : std::uint8_t {
    Store = 1,
    Folder = 2,
    Message = 3,
    MessageFile = 4,
};

// The Maildir++ name of a store's top folder, above the Inbox. No Maildir
// folder can have it, since those names are "" (the Inbox) or start with ".".
inline constexpr std::string_view kTopFolderName = "/";

struct ParsedEntryId {
    EntryKind kind = EntryKind::Store;
    std::string storePath; // the store's directory; the file for MessageFile
    std::string folder; // Maildir++ name: "" the Inbox, ".Sent", ".Lists.foo"
    std::string message; // unique part of the message's file name
};

std::vector<std::uint8_t> MakeEntryId(const ParsedEntryId& id);
// Null for bytes that are not one of our identifiers.
std::optional<ParsedEntryId> ParseEntryId(std::span<const std::uint8_t> bytes);

} // namespace platform
