#include "PrintingLibrary.h"

#define PLOTWISE_DEFINE(ret, name, params) ret(*name) params = nullptr;
PLOTWISE_FUNCTIONS(PLOTWISE_DEFINE)
#undef PLOTWISE_DEFINE

namespace platform {
namespace {

bool bound = false;

struct Bindings {
#define PLOTWISE_MEMBER(ret, name, params) ret(*name) params = nullptr;
    PLOTWISE_FUNCTIONS(PLOTWISE_MEMBER)
#undef PLOTWISE_MEMBER
};

} // namespace

bool BindPrintingLibrary(ModuleHandle library)
{
    Bindings found;
    bool complete = true;
#define PLOTWISE_FIND(ret, name, params)                                                                               \
    found.name = reinterpret_cast<ret(*) params>(GetProcAddressW(library, #name));                                     \
    complete = complete && found.name != nullptr;
    PLOTWISE_FUNCTIONS(PLOTWISE_FIND)
#undef PLOTWISE_FIND
    if (!complete)
        return false;
#define PLOTWISE_ASSIGN(ret, name, params) ::name = found.name;
    PLOTWISE_FUNCTIONS(PLOTWISE_ASSIGN)
#undef PLOTWISE_ASSIGN
    bound = true;
    return true;
}

bool PrintingLibraryBound()
{
    return bound;
}

void UnbindPrintingLibrary()
{
#define PLOTWISE_CLEAR(ret, name, params) ::name = nullptr;
    PLOTWISE_FUNCTIONS(PLOTWISE_CLEAR)
#undef PLOTWISE_CLEAR
    bound = false;
}

} // namespace platform
