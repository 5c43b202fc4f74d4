#pragma once

// The file behind the registry: where it lives, how it is read, and how a
// process's own changes are merged into it safely.

#include "RegistryText.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::registry {

// TALLOWIN_REGISTRY when set, else $XDG_CONFIG_HOME/tallowin/registry.reg,
// else ~/.config/tallowin/registry.reg.
std::filesystem::path RegistryFilePath();

// One change this process made: a key it created, or a value it set.
struct RegistryChange {
    std::u16string Path;
    bool SetsValue = false; // false: creates the key only
    std::u16string Name;
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;
};

void ApplyChanges(RegistryData& data, std::span<const RegistryChange> changes);

enum class FileState {
    Missing, // no file yet: the registry is empty
    Read, // read and understood (an empty file counts here)
    Damaged, // not understood: nothing of it is used
    Unreadable, // exists but cannot be read (permissions, a directory, ...)
};

struct RegistryFileImage {
    FileState State = FileState::Missing;
    RegistryData Data;
    std::vector<std::uint8_t> Bytes; // the file as read, when Read
};

// Reads the file without locking: saves replace it in one rename, so a
// reader sees either the old or the new file, never half of one. The first
// time a damaged file is met, the user is told on standard error.
RegistryFileImage ReadRegistryFile(const std::filesystem::path& path);

// Under an exclusive lock on "<file>.lock", reads the file as it is now,
// applies the changes, and replaces the file through a temporary file in the
// same directory (written, flushed to disk, then renamed over it), so keys
// and values written meanwhile by another process survive and a crash never
// leaves half a file. A file that already holds exactly the text the save
// would write is left as it is: a run that changed no setting costs no
// write and no flush to disk. A damaged file is first kept aside as
// "<file>.damaged" (or with a time stamp when that name is taken), and the
// user is told where. Missing parent directories are created. Returns the
// data now in the file, or nothing when the file could not be written; an
// existing file that cannot be read is never replaced.
std::optional<RegistryData> CommitRegistryChanges(
    const std::filesystem::path& path, std::span<const RegistryChange> changes);

} // namespace platform::registry
