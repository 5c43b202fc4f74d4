#pragma once

// A socket standing for a running interactive copy of the program.

#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace shell::test {

class Listener {
public:
    // Binds a socket at `path`; `listen` false leaves it as an ended copy
    // leaves its socket behind.
    explicit Listener(const std::filesystem::path& path, bool listen = true)
    {
        socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        path.native().copy(address.sun_path, sizeof address.sun_path - 1);
        ready_ = socket_ >= 0 && bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && (!listen || ::listen(socket_, 4) == 0);
    }
    ~Listener()
    {
        if (socket_ >= 0)
            close(socket_);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // The socket is bound, and listening when asked to.
    bool Ready() const { return ready_; }

    // What the next connecting start sent; empty when none connected.
    std::string Receive()
    {
        pollfd waiting = { socket_, POLLIN, 0 };
        if (poll(&waiting, 1, kReceiveTimeoutMs) != 1)
            return {};
        const int connection = accept(socket_, nullptr, nullptr);
        if (connection < 0)
            return {};
        std::string received;
        char buffer[64];
        ssize_t count;
        while ((count = read(connection, buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(count));
        close(connection);
        return received;
    }

private:
    static constexpr int kReceiveTimeoutMs = 5000;

    int socket_ = -1;
    bool ready_ = false;
};

} // namespace shell::test
