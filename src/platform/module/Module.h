#pragma once

// Shared libraries of the program: the printing library and the language
// libraries live in one directory, found beside the program binary.

#include <filesystem>
#include <string>

namespace platform {

// An opaque handle to a loaded library, or to the program itself.
using ModuleHandle = void*;

// The suffix of a shared library on this platform (".so").
inline constexpr const char* kSharedLibrarySuffix = ".so";

// The directory named by TALLOWIN_LIBDIR when that is set and not empty,
// else <directory of the program binary>/../lib/tallowin.
std::filesystem::path ProgramLibraryDirectory();

// The directory named by TALLOWIN_DATADIR when that is set and not empty,
// else <directory of the program binary>/../share/tallowin: the help pages.
std::filesystem::path ProgramDataDirectory();

// The handle that stands for the program's own module (its built-in
// resources). Never null, never unloaded.
ModuleHandle ProgramModule();

// Loads fileName (a bare file name such as "libplotwise.so") from
// ProgramLibraryDirectory(). Null when it does not exist or cannot be loaded.
ModuleHandle LoadLibraryW(const std::string& fileName);

// The address of an exported symbol, or null. For ProgramModule() always null.
void* GetProcAddressW(ModuleHandle module, const char* name);

// Unloads a library from LoadLibraryW; ProgramModule() and null are ignored.
void FreeLibrary(ModuleHandle module);

} // namespace platform
