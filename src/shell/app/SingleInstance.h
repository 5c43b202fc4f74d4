#pragma once

// How a second start finds the running interactive copy. The running copy
// listens on a Unix-domain socket named after its window class and title,
// in a directory of the user's own ($XDG_RUNTIME_DIR, or /tmp/tallowin-<uid>
// when that is not set), so copies of different users never see each other.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace shell {

// The socket the running copy with this class name and title listens on.
std::filesystem::path InstanceSocketPath(std::u16string_view className, std::u16string_view title);

// A connection to the running copy, found by FindWindowW.
class RunningCopy {
public:
    explicit RunningCopy(int connection)
        : connection_(connection)
    {
    }
    RunningCopy(RunningCopy&& other) noexcept
        : connection_(other.connection_)
    {
        other.connection_ = -1;
    }
    RunningCopy& operator=(RunningCopy&&) = delete;
    RunningCopy(const RunningCopy&) = delete;
    ~RunningCopy();

    int Connection() const { return connection_; }

private:
    int connection_;
};

// The request a second start sends to the running copy: bring the window
// and its pop-ups to the front.
inline constexpr std::string_view kBringToFrontRequest = "foreground\n";

// Looks for a running copy with this class name and title. Nothing found
// when no socket exists, nobody listens on it, or the socket's directory is
// not the user's own.
std::optional<RunningCopy> FindWindowW(std::u16string_view className, std::u16string_view title);

// Asks the running copy to come to the front; false when it could not be
// told (it may have ended meanwhile).
bool SetForegroundWindow(RunningCopy& copy);

} // namespace shell

namespace shell {

// The running interactive copy's side: listens on the socket of its class
// name and title while it lives, and calls `bringForward` on the message
// loop for each start that asks. Removes the socket when it ends.
class InstanceListener {
public:
    InstanceListener(std::u16string_view className, std::u16string_view title, std::function<void()> bringForward);
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

    bool Listening() const { return socket_ >= 0; }
    // Reads one pending request (what the window system calls when the
    // socket can be read).
    void Accept();

private:
    std::filesystem::path path_;
    int socket_ = -1;
    std::function<void()> bringForward_;
};

} // namespace shell
