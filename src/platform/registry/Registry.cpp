#include "Registry.h"

#include "RegistryFile.h"
#include "Utf.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

using registry::RegistryChange;
using registry::RegistryData;

constexpr std::u16string_view kLocalMachineName = u"HKEY_LOCAL_MACHINE";
constexpr std::size_t kMaxKeyPartUnits = 255;
constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;

struct OpenKey {
    std::u16string Path;
    REGSAM Access = 0;
    bool Dirty = false; // values or keys were set through this handle
};

// The registry of this process: open handles, the file's content as last
// read plus this process's changes, and the changes not yet written.
struct RegistryState {
    std::mutex Mutex;
    std::unordered_map<std::uintptr_t, OpenKey> Handles;
    std::uintptr_t NextHandle = kFirstHandle;
    std::filesystem::path FilePath;
    RegistryData Snapshot;
    std::vector<RegistryChange> Pending;
};

RegistryState& State()
{
    static RegistryState state;
    return state;
}

std::uintptr_t HandleValue(HKEY key)
{
    return reinterpret_cast<std::uintptr_t>(key);
}

bool Flush(RegistryState& state)
{
    if (state.Pending.empty())
        return true;
    auto merged = registry::CommitRegistryChanges(state.FilePath, state.Pending);
    state.Pending.clear();
    if (merged) {
        state.Snapshot = std::move(*merged);
        return true;
    }
    state.Snapshot = registry::ReadRegistryFile(state.FilePath).Data;
    return false;
}

// Re-reads the file, keeping this process's unwritten changes on top.
void Refresh(RegistryState& state)
{
    auto path = registry::RegistryFilePath();
    if (path != state.FilePath) {
        Flush(state);
        state.FilePath = path;
    }
    state.Snapshot = registry::ReadRegistryFile(state.FilePath).Data;
    registry::ApplyChanges(state.Snapshot, state.Pending);
}

// The full path of an open key, or nothing for a handle that is not open.
const std::u16string* KeyPath(RegistryState& state, HKEY key, std::u16string& root)
{
    if (key == HKEY_LOCAL_MACHINE) {
        root = kLocalMachineName;
        return &root;
    }
    auto found = state.Handles.find(HandleValue(key));
    return found == state.Handles.end() ? nullptr : &found->second.Path;
}

bool HasControlCharacter(std::u16string_view text)
{
    for (char16_t unit : text) {
        if (unit < 0x20 || unit == 0x7F)
            return true;
    }
    return false;
}

// Joins a sub-key to its parent; a trailing backslash is allowed, empty
// parts are not.
LONG JoinPath(const std::u16string& parent, const char16_t* subKey, std::u16string& path)
{
    path = parent;
    if (!subKey)
        return ERROR_SUCCESS;
    std::u16string_view rest(subKey);
    if (!rest.empty() && rest.back() == u'\\')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        auto end = rest.find(u'\\');
        auto part = rest.substr(0, end);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > kMaxKeyPartUnits || HasControlCharacter(part) || part.find(u']') != part.npos
            || !registry::IsWellFormedUtf16(part))
            return ERROR_INVALID_PARAMETER;
        path += u'\\';
        path += part;
        rest = end == rest.npos ? std::u16string_view() : rest.substr(end + 1);
    }
    return path.size() > registry::kMaxNameUnits ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

HKEY NewHandle(RegistryState& state, std::u16string path, REGSAM access)
{
    auto value = state.NextHandle;
    state.NextHandle += kHandleStep;
    state.Handles.emplace(value, OpenKey { std::move(path), access, false });
    return reinterpret_cast<HKEY>(value);
}

LONG OpenOrCreate(HKEY key, const char16_t* subKey, REGSAM access, HKEY* result, DWORD* disposition, bool create)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    std::u16string root;
    const auto* parent = KeyPath(state, key, root);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    std::u16string path;
    if (auto status = JoinPath(*parent, subKey, path); status != ERROR_SUCCESS)
        return status;

    Refresh(state);
    bool exists = path == kLocalMachineName || registry::KeyExists(state.Snapshot, path);
    if (!exists && !create)
        return ERROR_FILE_NOT_FOUND;
    if (disposition)
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    if (!exists) {
        registry::AddKey(state.Snapshot, path);
        state.Pending.push_back(RegistryChange { path, false, {}, 0, {}, {} });
    }
    *result = NewHandle(state, path, access);
    if (!exists)
        state.Handles[HandleValue(*result)].Dirty = true;
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD /*options*/, REGSAM access, HKEY* result)
{
    return OpenOrCreate(key, subKey, access, result, nullptr, false);
}

LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD /*reserved*/, char16_t* /*keyClass*/, DWORD /*options*/,
    REGSAM access, const void* /*security*/, HKEY* result, DWORD* disposition)
{
    return OpenOrCreate(key, subKey, access, result, disposition, true);
}

LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (reserved || (data && !dataSize))
        return ERROR_INVALID_PARAMETER;
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    std::u16string root;
    const auto* path = KeyPath(state, key, root);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (key != HKEY_LOCAL_MACHINE && !(state.Handles[HandleValue(key)].Access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const auto* stored = registry::FindKey(state.Snapshot, *path);
    const auto* value = stored ? registry::FindValue(*stored, valueName ? valueName : u"") : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->Type;
    auto size = static_cast<DWORD>(value->Data.size());
    if (!dataSize)
        return ERROR_SUCCESS;
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data && size > 0)
        std::copy(value->Data.begin(), value->Data.end(), data);
    *dataSize = size;
    return ERROR_SUCCESS;
}

namespace {

bool IsValueName(std::u16string_view name)
{
    return name.size() <= registry::kMaxNameUnits && !HasControlCharacter(name) && registry::IsWellFormedUtf16(name);
}

// The open key a value may be set in, or why not; the caller holds the
// state's lock.
LONG KeyForSetting(RegistryState& state, HKEY key, OpenKey*& open)
{
    auto found = state.Handles.find(HandleValue(key));
    if (found == state.Handles.end())
        return key == HKEY_LOCAL_MACHINE ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
    if (!(found->second.Access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    open = &found->second;
    return ERROR_SUCCESS;
}

} // namespace

LONG RegSetValueExW(
    HKEY key, const char16_t* valueName, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD dataSize)
{
    std::u16string_view name = valueName ? valueName : u"";
    if ((!data && dataSize > 0) || dataSize > registry::kMaxValueBytes || !IsValueName(name))
        return ERROR_INVALID_PARAMETER;
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    OpenKey* found = nullptr;
    if (LONG refused = KeyForSetting(state, key, found); refused != ERROR_SUCCESS)
        return refused;
    auto& open = *found;
    std::vector<std::uint8_t> bytes(data, data + dataSize);
    registry::SetValue(registry::AddKey(state.Snapshot, open.Path), name, type, bytes);
    state.Pending.push_back(RegistryChange { open.Path, true, std::u16string(name), type, std::move(bytes), {} });
    open.Dirty = true;
    return ERROR_SUCCESS;
}

LONG RegSetValueMergedW(HKEY key, const char16_t* valueName, DWORD type, RegValueMerge merge)
{
    std::u16string_view name = valueName ? valueName : u"";
    if (!merge || !IsValueName(name))
        return ERROR_INVALID_PARAMETER;
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    OpenKey* found = nullptr;
    if (LONG refused = KeyForSetting(state, key, found); refused != ERROR_SUCCESS)
        return refused;
    auto& open = *found;
    // A merge that would exceed the size limit keeps the stored value.
    registry::ValueMerge bounded = [merge = std::move(merge)](const registry::RegistryValue* stored) {
        auto data = merge(stored ? &stored->Data : nullptr);
        if (data.size() > registry::kMaxValueBytes && stored)
            return stored->Data;
        if (data.size() > registry::kMaxValueBytes)
            data.clear();
        return data;
    };
    auto& target = registry::AddKey(state.Snapshot, open.Path);
    registry::SetValue(target, name, type, bounded(registry::FindValue(target, name)));
    state.Pending.push_back(RegistryChange { open.Path, true, std::u16string(name), type, {}, std::move(bounded) });
    open.Dirty = true;
    return ERROR_SUCCESS;
}

LONG RegSetValueCheckW(const char16_t* subKey, const char16_t* valueName, RegValueCheck check)
{
    std::u16string path;
    if (!check || !subKey || JoinPath(std::u16string(kLocalMachineName), subKey, path) != ERROR_SUCCESS)
        return ERROR_INVALID_PARAMETER;
    registry::SetValueCheck(std::move(path), valueName ? valueName : u"",
        [check = std::move(check)](std::span<const std::uint8_t> data) { return check(data); });
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    auto found = state.Handles.find(HandleValue(key));
    if (found == state.Handles.end())
        return ERROR_INVALID_HANDLE;
    bool dirty = found->second.Dirty;
    state.Handles.erase(found);
    if (dirty && !Flush(state))
        return ERROR_WRITE_FAULT;
    return ERROR_SUCCESS;
}

} // namespace platform
