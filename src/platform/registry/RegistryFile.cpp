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

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
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

void ReportUnreadableOnce(const fs::path& path, int error)
{
    if (FirstReport(path, "unreadable"))
        std::fprintf(stderr, "tallowin: the settings file %s cannot be read (%s); the defaults are used\n",
            path.c_str(), std::strerror(error));
}

void ReportUnsavedOnce(const fs::path& path, int error)
{
    if (FirstReport(path, "unsaved"))
        std::fprintf(stderr, "tallowin: the settings cannot be saved in %s (%s)\n", path.c_str(), std::strerror(error));
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
// elsewhere (a dotfiles folder) stays a link.
fs::path ResolveLink(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_symlink(path, error))
        return path;
    auto target = fs::weakly_canonical(path, error);
    return error ? path : target;
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

// The body of a save; on failure errno tells why.
std::optional<RegistryData> CommitUnderLock(const fs::path& path, std::span<const RegistryChange> changes)
{
    std::error_code error;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), error);

    fs::path lockPath = WithSuffix(path, kLockSuffix);
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode));
    if (!lock.Valid())
        return std::nullopt;
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return std::nullopt;
    }

    RemoveAbandonedTemporaryFiles(path);
    auto image = ReadRegistryFile(path);
    if (image.State == FileState::Unreadable) {
        errno = EACCES;
        return std::nullopt;
    }
    mode_t mode = kNewFileMode;
    struct stat status { };
    if (image.State != FileState::Missing && ::stat(path.c_str(), &status) == 0)
        mode = status.st_mode & 07777;
    if (image.State == FileState::Damaged && !KeepDamagedFile(path))
        return std::nullopt;

    ApplyChanges(image.Data, changes);
    std::string text = FormatRegistryText(image.Data);
    if (text.size() > kMaxFileBytes) {
        errno = EFBIG;
        return std::nullopt;
    }
    const bool unchanged = image.State == FileState::Read
        && std::equal(text.begin(), text.end(), image.Bytes.begin(), image.Bytes.end(),
            [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
    if (!unchanged && !ReplaceFile(path, text, mode))
        return std::nullopt;
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

void ApplyChanges(RegistryData& data, std::span<const RegistryChange> changes)
{
    for (const auto& change : changes) {
        auto& key = AddKey(data, change.Path);
        if (change.SetsValue)
            SetValue(key, change.Name, change.Type, change.Data);
    }
}

RegistryFileImage ReadRegistryFile(const fs::path& path)
{
    RegistryFileImage image;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        image.State = errno == ENOENT ? FileState::Missing : FileState::Unreadable;
        if (image.State == FileState::Unreadable)
            ReportUnreadableOnce(path, errno);
        return image;
    }
    struct stat status { };
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        ReportUnreadableOnce(path, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        image.State = FileState::Unreadable;
        return image;
    }
    std::vector<std::uint8_t> bytes;
    bool tooLarge = static_cast<std::uint64_t>(status.st_size) > kMaxFileBytes;
    if (!tooLarge) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
        if (!ReadWholeFile(fd.Get(), bytes, tooLarge)) {
            ReportUnreadableOnce(path, errno);
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
    auto merged = CommitUnderLock(path, changes);
    if (!merged)
        ReportUnsavedOnce(path, errno);
    return merged;
}

} // namespace platform::registry
