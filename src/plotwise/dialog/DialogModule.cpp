// The print dialog module's entry. The dialog runs in the caller's Qt
// application when it has one (the program's window); otherwise the module
// makes one, on the platform the environment asks for, and keeps it for
// later jobs. When Qt cannot reach a display the module says so and the
// library prints with the setup as it stands.

#include "PrintDialogWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// What the application was made on; the fallback catches a display that
// cannot be reached, which Qt would otherwise end the process for.
constexpr const char* kFallbackPlatform = "offscreen";

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    (void)type;
    (void)context;
    (void)message;
}

std::string RequestedPlatforms()
{
    const char* named = std::getenv("QT_QPA_PLATFORM");
    if (named && *named)
        return named;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return wayland && *wayland ? "wayland;xcb" : "xcb";
}

// True when a Qt application is there and on a real display (or on the
// platform the environment asked for by name).
bool EnsureApplication()
{
    if (QApplication::instance())
        return qobject_cast<QApplication*>(QApplication::instance()) != nullptr;
    static bool tried = false;
    static bool connected = false;
    if (tried)
        return connected;
    tried = true;
    const std::string requested = RequestedPlatforms();
    static std::string platforms = requested;
    if (requested.find(kFallbackPlatform) == std::string::npos)
        platforms += std::string(";") + kFallbackPlatform;
    static int argc = 3;
    static char name[] = "plotwise";
    static char option[] = "-platform";
    static char* argv[] = { name, option, platforms.data(), nullptr };
    // Qt's own complaint about a display it cannot open is not the user's
    // concern: the library says in one line what happens instead.
    QtMessageHandler previous = qInstallMessageHandler(QuietMessages);
    // The application lives as long as the process: destroyed by the exit
    // handlers, after Qt's own, it would crash the exit.
    new QApplication(argc, argv);
    qInstallMessageHandler(previous);
    connected = QApplication::platformName() != kFallbackPlatform
        || requested.find(kFallbackPlatform) != std::string::npos;
    return connected;
}

// PLOTWISE_DIALOG_PRESS=print or cancel presses that button as soon as the
// dialog shows, for tests and scripts that run the real dialog unattended.
void PressWhenShown(plotwise::PrintDialogWindow& dialog)
{
    const char* press = std::getenv("PLOTWISE_DIALOG_PRESS");
    if (!press || (std::strcmp(press, "print") != 0 && std::strcmp(press, "cancel") != 0))
        return;
    const QString button = QString::fromLatin1(press);
    QTimer::singleShot(0, &dialog, [&dialog, button] {
        if (auto* found = dialog.findChild<QAbstractButton*>(button))
            found->click();
    });
}

} // namespace

extern "C" __attribute__((visibility("default"))) int32_t plotwise_dialog_run(
    const PlotwiseDialogRequest* request, PlotwiseDialogAnswer* answer)
{
    if (!request || !answer)
        return PLOTWISE_DIALOG_CANCELLED;
    if (!EnsureApplication())
        return PLOTWISE_DIALOG_NO_DISPLAY;
    plotwise::PrintDialogWindow dialog(*request, QApplication::activeWindow());
    PressWhenShown(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return PLOTWISE_DIALOG_CANCELLED;
    dialog.FillAnswer(*answer);
    return PLOTWISE_DIALOG_ACCEPTED;
}
