#include "WindowHosts.h"

#include "DialogHost.h"
#include "MessageBox.h"
#include "Messages.h"

namespace shell {

// The one place where the window system's hosts are installed: message
// boxes, the busy cursor and the dialog host.
InstalledWindowSystem::InstalledWindowSystem(std::unique_ptr<platform::WindowModel> system)
    : system_(std::move(system))
{
    platform::WindowModel* shown = system_.get();
    platform::SetWindowSystem(shown);
    if (shown->HasMessageBoxes()) {
        platform::SetMessageBoxHost(
            [shown](std::u16string_view text, std::u16string_view caption) { return shown->MessageBox(text, caption); });
        core::SetBusyCursorHost([shown](bool busy) { shown->SetBusyCursor(busy); });
    }
    if (platform::DialogHost* dialogs = shown->DialogHostOfWindows())
        platform::SetDialogHost(dialogs);
}

InstalledWindowSystem::~InstalledWindowSystem()
{
    platform::SetDialogHost(nullptr);
    core::SetBusyCursorHost({});
    platform::SetMessageBoxHost({});
    platform::SetWindowSystem(nullptr);
}

} // namespace shell
