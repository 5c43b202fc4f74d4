#pragma once

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace platform {

// Starts each test with every locale variable unset and restores them after.
class LocaleTest : public ::testing::Test {
protected:
    void UseLocale(const char* name) { environment_.Set("LC_ALL", name); }

    ScopedEnvironment environment_;
};

} // namespace platform
