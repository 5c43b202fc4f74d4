#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Sets the POSIX locale variables for one test and restores them after.
class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }

    void TearDown() override
    {
        for (std::size_t i = 0; i < std::size(kVariables); ++i) {
            if (saved_[i])
                setenv(kVariables[i], saved_[i]->c_str(), 1);
            else
                unsetenv(kVariables[i]);
        }
    }

    static void UseLocale(const char* name) { setenv("LC_ALL", name, 1); }

private:
    static constexpr const char* kVariables[] = { "LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_MONETARY", "LANG" };
    std::vector<std::optional<std::string>> saved_;
};

} // namespace platform
