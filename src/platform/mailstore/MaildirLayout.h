#pragma once

// The on-disk layout of a Maildir store: the Inbox in the store directory,
// Maildir++ subfolders as sibling directories named ".Sent", ".Lists.foo"
// (a dot separates the levels of the tree), each with cur/, new/ and tmp/;
// one file per message, its flags after ":2,".

#include "MapiTypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MaildirMessageFile {
    std::string unique; // the file name before ":2,"
    std::filesystem::path path;
    bool seen = false;
};

// True for "" (the Inbox) and for ".name[.name...]" without a path separator
// or an empty level.
bool IsValidFolderName(std::string_view folder);
bool IsValidUniqueName(std::string_view unique);

std::filesystem::path FolderDirectory(const std::filesystem::path& store, std::string_view folder);

// The Maildir++ folders of a store ("" first, then the dot names, sorted),
// each a directory with a cur/ subdirectory. Levels of a name whose own
// directory is missing are added, so every folder has its parent.
std::vector<std::string> ListMaildirFolders(const std::filesystem::path& store);

// The parent of a folder: ".A" for ".A.B"; the top folder for "" and ".A".
std::string ParentFolderName(std::string_view folder);
// The last level of the name, decoded from IMAP's modified UTF-7; "Inbox"
// for "".
std::u16string FolderDisplayName(std::string_view folder);
ULONG FolderKindBits(std::string_view folder);

// Part of the name before ":2," (or before the last ":" when there is one).
std::string UniqueNameOf(std::string_view fileName);
bool HasSeenFlag(std::string_view fileName);
// The delivery time written into the name by the delivering program
// ("seconds.M<microseconds>P<pid>.host"), if the name starts with one.
std::optional<FILETIME> DeliveryStampOf(std::string_view fileName);

// The messages of a folder directory, from new/ and cur/.
std::vector<MaildirMessageFile> ListMessageFiles(const std::filesystem::path& folderDirectory);
std::optional<MaildirMessageFile> FindMessageFile(
    const std::filesystem::path& folderDirectory, std::string_view unique);

std::optional<FILETIME> FileModificationTime(const std::filesystem::path& path);

} // namespace platform
