#pragma once

// A Maildir tree built by a test in a temporary directory and removed after.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/time.h>

namespace platform::test {

class TempMaildir {
public:
    TempMaildir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallowin-maildir-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        MakeFolder("");
    }
    ~TempMaildir()
    {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    TempMaildir(const TempMaildir&) = delete;
    TempMaildir& operator=(const TempMaildir&) = delete;

    const std::filesystem::path& Root() const { return root_; }

    std::filesystem::path MakeFolder(std::string_view folder)
    {
        const std::filesystem::path dir = folder.empty() ? root_ : root_ / std::string(folder);
        for (const char* sub : { "cur", "new", "tmp" }) {
            std::filesystem::create_directories(dir / sub);
        }
        return dir;
    }

    // Writes a message file into folder/sub (sub is "cur" or "new") and sets
    // its modification time when one is given (seconds since 1970).
    std::filesystem::path AddMessage(std::string_view folder, std::string_view sub, std::string_view fileName,
        std::string_view text, long modified = 0)
    {
        const std::filesystem::path path = MakeFolder(folder) / std::string(sub) / std::string(fileName);
        std::ofstream(path, std::ios::binary) << text;
        if (modified != 0) {
            struct timeval times[2] = { { modified, 0 }, { modified, 0 } };
            ::utimes(path.c_str(), times);
        }
        return path;
    }

private:
    std::filesystem::path root_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value)
        : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (hadOld_) {
            ::setenv(name_, old_.c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

} // namespace platform::test
