#include "WindowModule.h"

namespace platform {

LoadedWindowSystem LoadWindowSystem()
{
    LoadedWindowSystem result;
    ModuleHandle module = LoadLibraryW(kWindowModuleFile);
    auto create = module != nullptr
        ? reinterpret_cast<CreateWindowSystemFunction>(GetProcAddressW(module, "TallowinCreateWindowSystem"))
        : nullptr;
    if (create == nullptr) {
        result.Reason = std::string(kWindowModuleFile) + " cannot be loaded from " + ProgramLibraryDirectory().string();
        return result;
    }
    char reason[256] = {};
    result.System.reset(create(reason, sizeof reason));
    if (!result.System) {
        result.Start = WindowSystemStart::NoDisplay;
        result.Reason = reason[0] != '\0' ? reason : "no display to show the window on";
        return result;
    }
    result.Start = WindowSystemStart::Started;
    return result;
}

} // namespace platform
