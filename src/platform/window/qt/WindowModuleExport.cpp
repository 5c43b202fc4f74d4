// The export of tallowinwindow.so.

#include "QtWindowSystem.h"
#include "WindowModule.h"

#include <cstring>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) platform::WindowModel* TallowinCreateWindowSystem(
    char* reason, std::size_t reasonSize)
{
    static_assert(std::is_same_v<decltype(&TallowinCreateWindowSystem), platform::CreateWindowSystemFunction>);
    std::string why;
    std::unique_ptr<platform::WindowModel> system = platform::CreateQtWindowSystem(why);
    if (!system && reason != nullptr && reasonSize > 0) {
        std::strncpy(reason, why.c_str(), reasonSize - 1);
        reason[reasonSize - 1] = '\0';
    }
    return system.release();
}
