#pragma once

// Sets environment variables for one test and restores them afterwards, so
// tests never depend on the locale of the machine that runs them; and a
// temporary directory removed with everything in it at the end of the test.

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedEnvironment {
public:
    // The locale variables every locale test controls; all start unset.
    static constexpr const char* kLocaleVariables[]
        = { "LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LC_MONETARY", "LC_MEASUREMENT", "LC_CTYPE", "LC_TIME", "LANG" };

    ScopedEnvironment()
    {
        for (const char* name : kLocaleVariables)
            Unset(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

    // A null value unsets the variable.
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    void Unset(const char* name) { Set(name, nullptr); }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class TempDirectory {
public:
    TempDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallowin-test-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory()
    {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }

    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};
