#include "SingleInstance.h"

#include "TextConversion.h"
#include "WindowSystem.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace shell {
namespace {

// A socket name beyond this is shortened and made unique by a hash, so the
// whole path stays within the limit of a socket address.
constexpr std::size_t kMaxReadableNameLength = 48;

std::uint64_t Fnv1a(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (char byte : bytes) {
        hash ^= static_cast<std::uint8_t>(byte);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

bool IsPlainNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
        || c == '.';
}

std::filesystem::path InstanceDirectory()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
        return runtime;
    return "/tmp/tallowin-" + std::to_string(getuid());
}

// Only a directory of the user's own that nobody else may write to can hold
// a socket to trust; anything else could be someone else's trap.
bool IsPrivateDirectory(const std::filesystem::path& directory)
{
    struct stat status = {};
    if (lstat(directory.c_str(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == getuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::filesystem::path InstanceSocketPath(std::u16string_view className, std::u16string_view title)
{
    std::string classText = Utf16ToUtf8(className);
    std::string titleText = Utf16ToUtf8(title);
    std::string name = classText + "-" + titleText;
    bool plain = name.size() <= kMaxReadableNameLength;
    for (char& c : name) {
        if (!IsPlainNameCharacter(c)) {
            c = '_';
            plain = false;
        }
    }
    if (!plain) {
        if (name.size() > kMaxReadableNameLength)
            name.resize(kMaxReadableNameLength);
        char hash[17];
        std::snprintf(
            hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(classText + '\n' + titleText)));
        name += std::string("-") + hash;
    }
    return InstanceDirectory() / ("tallowin-" + name + ".sock");
}

RunningCopy::~RunningCopy()
{
    if (connection_ >= 0)
        close(connection_);
}

std::optional<RunningCopy> FindWindowW(std::u16string_view className, std::u16string_view title)
{
    std::filesystem::path path = InstanceSocketPath(className, title);
    if (!IsPrivateDirectory(path.parent_path()))
        return std::nullopt;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);

    int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (connection < 0)
        return std::nullopt;
    RunningCopy copy(connection);
    if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return copy;
    // A full backlog still means a copy is listening.
    if (errno == EAGAIN)
        return copy;
    return std::nullopt;
}

bool SetForegroundWindow(RunningCopy& copy)
{
    ssize_t written = send(copy.Connection(), kBringToFrontRequest.data(), kBringToFrontRequest.size(), MSG_NOSIGNAL);
    return written == static_cast<ssize_t>(kBringToFrontRequest.size());
}

InstanceListener::InstanceListener(
    std::u16string_view className, std::u16string_view title, std::function<void()> bringForward)
    : path_(InstanceSocketPath(className, title))
    , bringForward_(std::move(bringForward))
{
    const std::filesystem::path directory = path_.parent_path();
    // The fallback directory is made private to the user; one that is not
    // private is not trusted, and no copy listens there.
    mkdir(directory.c_str(), 0700);
    if (!IsPrivateDirectory(directory))
        return;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string& text = path_.native();
    if (text.size() >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        return;
    // A socket left behind by a copy that ended without removing it.
    unlink(text.c_str());
    if (bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(socket_, 4) != 0) {
        close(socket_);
        socket_ = -1;
        return;
    }
    platform::CurrentWindowSystem().WatchReadable(socket_, [this] { Accept(); });
}

InstanceListener::~InstanceListener()
{
    if (socket_ < 0)
        return;
    platform::CurrentWindowSystem().StopWatching(socket_);
    close(socket_);
    unlink(path_.c_str());
}

void InstanceListener::Accept()
{
    const int connection = accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
        return;
    // The request is one short line, sent at once by the start that connects.
    char buffer[64];
    pollfd waiting = { connection, POLLIN, 0 };
    std::string received;
    while (received.size() < kBringToFrontRequest.size() && poll(&waiting, 1, 1000) == 1) {
        const ssize_t count = read(connection, buffer, sizeof buffer);
        if (count <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(count));
    }
    close(connection);
    if (received.starts_with(kBringToFrontRequest) && bringForward_)
        bringForward_();
}

} // namespace shell
