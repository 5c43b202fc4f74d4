#pragma once

// The one Qt application of a test program, on the offscreen platform.

#include <QApplication>

#include <cstdlib>

namespace platform::testing {

// Made on the first call and never destroyed: Qt's own exit-time clean-up
// needs it alive.
inline void StartOffscreenApplication()
{
    static QApplication* application = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = { name, nullptr };
        return new QApplication(argc, argv);
    }();
    (void)application;
}

} // namespace platform::testing
