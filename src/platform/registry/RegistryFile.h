#pragma once

// The file behind the registry: where it lives, how it is read, and how a
// process's own changes are merged into it safely.

#include "RegistryText.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::registry {

// TALLOWIN_REGISTRY when set, else $XDG_CONFIG_HOME/tallowin/registry.reg,
// else ~/.config/tallowin/registry.reg.
std::filesystem::path RegistryFilePath();

// Gives the data to store from the value the file holds at the moment of
// the save (null when it holds none).
using ValueMerge = std::function<std::vector<std::uint8_t>(const RegistryValue* stored)>;

// One change this process made: a key it created, or a value it set, either
// to fixed data or to what Merge makes of the stored value.
struct RegistryChange {
    std::u16string Path;
    bool SetsValue = false; // false: creates the key only
    std::u16string Name;
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;
    ValueMerge Merge;
};

// Says what is wrong with the data of a value, or nothing when it is sound.
using ValueCheck = std::function<std::optional<std::string>(std::span<const std::uint8_t> data)>;

// From now on a file in which the key at path holds the named value with
// data the check refuses is damaged, like a file that cannot be parsed: the
// owner of a value of fixed layout never reads a value cut short as zeros.
// A later check for the same value replaces the earlier one.
void SetValueCheck(std::u16string path, std::u16string name, ValueCheck check);
void ClearValueChecks();

// How long a save waits for another process's lock before it gives up:
// TALLOWIN_LOCK_TIMEOUT in seconds (fractions allowed) when set, else 5 s.
std::chrono::milliseconds LockTimeout();

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
    std::string Reason; // why it cannot be read, when Unreadable
};

// Reads the file without locking: saves replace it in one rename, so a
// reader sees either the old or the new file, never half of one. The first
// time a damaged file is met, the user is told on standard error.
RegistryFileImage ReadRegistryFile(const std::filesystem::path& path);

// Under an exclusive lock on "<file>.lock" (a record lock, which dies with
// its process, so a lock left by a killed process never blocks; a lock held
// longer than LockTimeout() fails the save, naming the lock and the process
// holding it), reads the file as it is now,
// applies the changes, and replaces the file through a temporary file in the
// same directory (written, flushed to disk, then renamed over it), so keys
// and values written meanwhile by another process survive and a crash never
// leaves half a file. A file that already holds exactly the text the save
// would write is left as it is: a run that changed no setting costs no
// write and no flush to disk. A symbolic link stays a link: the file it
// points at is replaced, through a temporary file in that file's directory.
// A damaged file is first kept aside as
// "<file>.damaged" (or with a time stamp when that name is taken), and the
// user is told where. Missing parent directories are created. Returns the
// data now in the file, or nothing when the file could not be written; an
// existing file that cannot be read is never replaced.
std::optional<RegistryData> CommitRegistryChanges(
    const std::filesystem::path& path, std::span<const RegistryChange> changes);

} // namespace platform::registry
