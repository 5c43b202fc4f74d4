#include "RegistryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDamagedSuffix = ".damaged";
constexpr std::string_view kTemporarySuffix = ".tmp-";
constexpr std::size_t kTemporaryRandomChars = 6; // what mkostemp fills in
constexpr int kMaxDamagedNames = 100;
constexpr mode_t kNewFileMode = 0600;
constexpr std::chrono::milliseconds kDefaultLockTimeout { 5000 };
constexpr std::chrono::milliseconds kLongestLockPoll { 50 };
constexpr int kMaxLinkHops = 40; // as the kernel allows

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd)
    {
    }
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

fs::path WithSuffix(const fs::path& path, std::string_view suffix)
{
    fs::path result = path;
    result += std::string(suffix);
    return result;
}

// Each problem with a file is reported once per process, however often the
// file is read or saved.
bool FirstReport(const fs::path& path, std::string_view problem)
{
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    return reported.insert(std::string(problem) + '\n' + path.string()).second;
}

void ReportDamagedOnce(const fs::path& path, const ParseResult& parsed)
{
    if (!FirstReport(path, "damaged"))
        return;
    if (parsed.Line > 0)
        std::fprintf(stderr, "tallowin: the settings file %s is damaged (line %zu: %s); the defaults are used\n",
            path.c_str(), parsed.Line, parsed.Reason.c_str());
    else
        std::fprintf(stderr, "tallowin: the settings file %s is damaged (%s); the defaults are used\n", path.c_str(),
            parsed.Reason.c_str());
}

void ReportUnreadableOnce(const fs::path& path, const std::string& reason)
{
    if (FirstReport(path, "unreadable"))
        std::fprintf(stderr, "tallowin: the settings file %s cannot be read (%s); the defaults are used\n",
            path.c_str(), reason.c_str());
}

void ReportUnsavedOnce(const fs::path& path, const std::string& reason)
{
    if (FirstReport(path, "unsaved"))
        std::fprintf(stderr, "tallowin: the settings cannot be saved in %s (%s)\n", path.c_str(), reason.c_str());
}

struct CheckedValue {
    std::u16string Path;
    std::u16string Name;
    ValueCheck Check;
};

struct ValueChecks {
    std::mutex Mutex;
    std::vector<CheckedValue> Checks;
};

ValueChecks& Checks()
{
    static ValueChecks checks;
    return checks;
}

// The first value of the data that a check refuses, as a reason for the user.
std::optional<std::string> RefusedValue(const RegistryData& data)
{
    auto& checks = Checks();
    std::lock_guard lock(checks.Mutex);
    for (const auto& checked : checks.Checks) {
        const auto* key = FindKey(data, checked.Path);
        const auto* value = key ? FindValue(*key, checked.Name) : nullptr;
        if (!value)
            continue;
        if (auto fault = checked.Check(value->Data)) {
            std::string name(checked.Name.begin(), checked.Name.end());
            return "the value \"" + name + "\" " + *fault;
        }
    }
    return std::nullopt;
}

bool ReadWholeFile(int fd, std::vector<std::uint8_t>& bytes, bool& tooLarge)
{
    std::uint8_t chunk[65536];
    for (;;) {
        ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (count == 0)
            return true;
        if (bytes.size() + static_cast<std::size_t>(count) > kMaxFileBytes) {
            tooLarge = true;
            return true;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// Saves go to the file a symbolic link points at, so a settings file kept
// elsewhere (a dotfiles folder) stays a link, even while its target does not
// exist yet.
fs::path ResolveLink(const fs::path& path)
{
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)) || error)
            return current;
        fs::path target = fs::read_symlink(current, error);
        if (error)
            return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

std::string TimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

// Renames a damaged file to a name that is not taken yet; under the lock no
// cooperating process races for the name.
std::optional<fs::path> KeepDamagedFile(const fs::path& path)
{
    std::error_code error;
    fs::path kept = WithSuffix(path, kDamagedSuffix);
    std::string stamp = TimeStamp();
    for (int attempt = 0; fs::exists(kept, error) && attempt <= kMaxDamagedNames; ++attempt) {
        std::string suffix = std::string(kDamagedSuffix) + "-" + stamp;
        if (attempt > 0)
            suffix += "-" + std::to_string(attempt);
        kept = WithSuffix(path, suffix);
    }
    if (fs::exists(kept, error) || ::rename(path.c_str(), kept.c_str()) != 0)
        return std::nullopt;
    std::fprintf(stderr, "tallowin: the damaged settings file was kept as %s\n", kept.c_str());
    return kept;
}

void SyncDirectory(const fs::path& directory)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        ::fsync(fd.Get());
}

// Writes text to a new file beside path and renames it over path.
bool ReplaceFile(const fs::path& path, std::string_view text, mode_t mode)
{
    std::string temporary = WithSuffix(path, std::string(kTemporarySuffix) + "XXXXXX").string();
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.Valid())
        return false;
    bool ok = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
    ok = ::close(fd.Release()) == 0 && ok;
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        int cause = errno;
        ::unlink(temporary.c_str());
        errno = cause;
        return false;
    }
    SyncDirectory(path.has_parent_path() ? path.parent_path() : fs::path("."));
    return true;
}

// $HOME, else the home directory of the user's account.
fs::path HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return ".";
}

// A save that was killed half-way leaves its temporary file behind. Saves
// write only under the lock, so while it is held any such file is abandoned.
void RemoveAbandonedTemporaryFiles(const fs::path& path)
{
    std::string prefix = path.filename().string() + std::string(kTemporarySuffix);
    std::error_code error;
    fs::directory_iterator entries(path.has_parent_path() ? path.parent_path() : fs::path("."), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::string name = entries->path().filename().string();
        if (name.size() == prefix.size() + kTemporaryRandomChars && name.starts_with(prefix)
            && entries->is_regular_file(error))
            ::unlink(entries->path().c_str());
    }
}

std::string SystemReason()
{
    return std::strerror(errno);
}

std::string Seconds(std::chrono::milliseconds wait)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(wait.count()) / 1000.0);
    return text;
}

// Takes the write lock on the whole lock file, waiting at most timeout. The
// lock is a record lock of this process: the kernel drops it when the
// process ends, however it ends, and tells a waiter which process holds it.
bool TakeLock(int fd, const fs::path& lockPath, std::chrono::milliseconds timeout, std::string& reason)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::chrono::milliseconds pause { 1 };
    for (;;) {
        struct flock whole { };
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd, F_SETLK, &whole) == 0)
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR) {
            reason = "its lock " + lockPath.string() + " cannot be taken: " + SystemReason();
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestLockPoll);
    }
    reason = "its lock " + lockPath.string() + " is held";
    struct flock holder { };
    holder.l_type = F_WRLCK;
    holder.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK && holder.l_pid > 0)
        reason += " by process " + std::to_string(holder.l_pid);
    reason += " for more than " + Seconds(timeout) + "; the settings were not saved";
    return false;
}

// One save at a time within this process: record locks exclude other
// processes only.
std::mutex& SaveMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The body of a save; on failure reason tells why.
std::optional<RegistryData> CommitUnderLock(
    const fs::path& path, std::span<const RegistryChange> changes, std::string& reason)
{
    std::error_code error;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), error);

    std::lock_guard saving(SaveMutex());
    fs::path lockPath = WithSuffix(path, kLockSuffix);
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode));
    if (!lock.Valid()) {
        reason = SystemReason();
        return std::nullopt;
    }
    if (!TakeLock(lock.Get(), lockPath, LockTimeout(), reason))
        return std::nullopt;

    RemoveAbandonedTemporaryFiles(path);
    auto image = ReadRegistryFile(path);
    if (image.State == FileState::Unreadable) {
        reason = image.Reason;
        return std::nullopt;
    }
    mode_t mode = kNewFileMode;
    struct stat status { };
    if (image.State != FileState::Missing && ::stat(path.c_str(), &status) == 0)
        mode = status.st_mode & 07777;
    if (image.State == FileState::Damaged && !KeepDamagedFile(path)) {
        reason = "the damaged file cannot be kept aside: " + SystemReason();
        return std::nullopt;
    }

    ApplyChanges(image.Data, changes);
    std::string text = FormatRegistryText(image.Data);
    if (text.size() > kMaxFileBytes) {
        reason = std::strerror(EFBIG);
        return std::nullopt;
    }
    const bool unchanged = image.State == FileState::Read
        && std::equal(text.begin(), text.end(), image.Bytes.begin(), image.Bytes.end(),
            [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
    if (!unchanged && !ReplaceFile(path, text, mode)) {
        reason = SystemReason();
        return std::nullopt;
    }
    // Closing the lock descriptor releases the lock.
    return std::move(image.Data);
}

} // namespace

fs::path RegistryFilePath()
{
    if (const char* named = std::getenv("TALLOWIN_REGISTRY"); named && *named)
        return named;
    fs::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        base = config;
    else
        base = HomeDirectory() / ".config";
    return base / "tallowin" / "registry.reg";
}

void SetValueCheck(std::u16string path, std::u16string name, ValueCheck check)
{
    auto& checks = Checks();
    std::lock_guard lock(checks.Mutex);
    for (auto& checked : checks.Checks) {
        if (NamesEqual(checked.Path, path) && NamesEqual(checked.Name, name)) {
            checked.Check = std::move(check);
            return;
        }
    }
    checks.Checks.push_back(CheckedValue { std::move(path), std::move(name), std::move(check) });
}

void ClearValueChecks()
{
    auto& checks = Checks();
    std::lock_guard lock(checks.Mutex);
    checks.Checks.clear();
}

std::chrono::milliseconds LockTimeout()
{
    const char* text = std::getenv("TALLOWIN_LOCK_TIMEOUT");
    if (!text || !*text)
        return kDefaultLockTimeout;
    char* end = nullptr;
    double seconds = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(seconds >= 0) || seconds > 86400)
        return kDefaultLockTimeout;
    return std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000.0));
}

void ApplyChanges(RegistryData& data, std::span<const RegistryChange> changes)
{
    for (const auto& change : changes) {
        auto& key = AddKey(data, change.Path);
        if (!change.SetsValue)
            continue;
        if (change.Merge)
            SetValue(key, change.Name, change.Type, change.Merge(FindValue(key, change.Name)));
        else
            SetValue(key, change.Name, change.Type, change.Data);
    }
}

RegistryFileImage ReadRegistryFile(const fs::path& path)
{
    RegistryFileImage image;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        image.State = errno == ENOENT ? FileState::Missing : FileState::Unreadable;
        if (image.State == FileState::Unreadable) {
            image.Reason = SystemReason();
            ReportUnreadableOnce(path, image.Reason);
        }
        return image;
    }
    struct stat status { };
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        image.Reason = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ReportUnreadableOnce(path, image.Reason);
        image.State = FileState::Unreadable;
        return image;
    }
    std::vector<std::uint8_t> bytes;
    bool tooLarge = static_cast<std::uint64_t>(status.st_size) > kMaxFileBytes;
    if (!tooLarge) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
        if (!ReadWholeFile(fd.Get(), bytes, tooLarge)) {
            image.Reason = SystemReason();
            ReportUnreadableOnce(path, image.Reason);
            image.State = FileState::Unreadable;
            return image;
        }
    }
    ParseResult parsed;
    if (tooLarge) {
        parsed.Damaged = true;
        parsed.Reason = "larger than 16 MiB";
    } else {
        parsed = ParseRegistryText(bytes);
        if (!parsed.Damaged) {
            if (auto refused = RefusedValue(parsed.Data)) {
                parsed.Damaged = true;
                parsed.Reason = std::move(*refused);
                parsed.Data = RegistryData {};
            }
        }
    }
    if (parsed.Damaged) {
        ReportDamagedOnce(path, parsed);
        image.State = FileState::Damaged;
        return image;
    }
    image.State = FileState::Read;
    image.Data = std::move(parsed.Data);
    image.Bytes = std::move(bytes);
    return image;
}

std::optional<RegistryData> CommitRegistryChanges(const fs::path& requested, std::span<const RegistryChange> changes)
{
    fs::path path = ResolveLink(requested);
    std::string reason;
    auto merged = CommitUnderLock(path, changes, reason);
    if (!merged)
        ReportUnsavedOnce(path, reason);
    return merged;
}

} // namespace platform::registry
