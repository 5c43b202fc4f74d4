#pragma once

// A fresh folder for one test, removed with it. Its name is short, so that
// the running-copy socket under its "runtime" folder stays within the limit
// of a socket address; "runtime" is private to the user, as the runtime
// folder of a session is.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace testsupport {

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/tw-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            std::abort();
        path_ = pattern;
        std::filesystem::create_directories(path_ / "runtime");
        std::filesystem::permissions(path_ / "runtime", std::filesystem::perms::owner_all);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return path_ / relative; }

    // Writes bytes to a file under the folder, making its folders, and gives its path.
    std::filesystem::path Write(const std::filesystem::path& relative, std::string_view bytes) const
    {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path path_;
};

} // namespace testsupport
