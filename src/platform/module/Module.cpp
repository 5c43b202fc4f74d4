#include "Module.h"

#include <cstdlib>
#include <dlfcn.h>
#include <system_error>

namespace platform {
namespace {

int programModuleTag;

std::filesystem::path ProgramDirectory()
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return self.parent_path();
}

} // namespace

std::filesystem::path ProgramLibraryDirectory()
{
    if (const char* dir = std::getenv("TALLOWIN_LIBDIR"); dir != nullptr && *dir != '\0')
        return dir;
    return (ProgramDirectory() / ".." / "lib" / "tallowin").lexically_normal();
}

std::filesystem::path ProgramDataDirectory()
{
    if (const char* dir = std::getenv("TALLOWIN_DATADIR"); dir != nullptr && *dir != '\0')
        return dir;
    return (ProgramDirectory() / ".." / "share" / "tallowin").lexically_normal();
}

ModuleHandle ProgramModule()
{
    return &programModuleTag;
}

ModuleHandle LoadLibraryW(const std::string& fileName)
{
    std::filesystem::path path = ProgramLibraryDirectory() / fileName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    // Libraries stay mapped after FreeLibrary: the printing library hands out
    // fontconfig and cairo state that lives to the end of the process.
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

void* GetProcAddressW(ModuleHandle module, const char* name)
{
    if (module == nullptr || module == ProgramModule())
        return nullptr;
    return dlsym(module, name);
}

void FreeLibrary(ModuleHandle module)
{
    if (module != nullptr && module != ProgramModule())
        dlclose(module);
}

} // namespace platform
