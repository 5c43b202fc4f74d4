// The print-queue calls of libcups, bound when a job first uses one. Linked
// the ordinary way, libcups and the twenty-odd libraries behind it (Kerberos,
// GnuTLS, Avahi, D-Bus, systemd) would be loaded and relocated at every start
// of every caller, about a third of the library's load time, though only a
// job printed to a queue needs them. The definitions below take the place of
// the library's own for the rest of the printing library; the export list
// keeps them private to it.
//
// Without libcups every call fails the way libcups reports a failure, and
// cupsLastErrorString says why.

#include <cups/cups.h>
#include <cups/pwg.h>
#include <dlfcn.h>

namespace {

// The name libcups is installed under, as the linker would record it.
constexpr const char* kCupsLibrary = "libcups.so.2";
constexpr const char* kCupsMissing = "the CUPS library libcups.so.2 cannot be loaded";

void* CupsLibrary()
{
    static void* const library = dlopen(kCupsLibrary, RTLD_NOW | RTLD_LOCAL);
    return library;
}

// The library's own function of the same type as ours, or null.
template <typename Function> Function CupsFunction(Function, const char* name)
{
    void* library = CupsLibrary();
    return library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

#define PLOTWISE_CUPS_FUNCTION(name) static const auto real = CupsFunction(&name, #name)

} // namespace

extern "C" {

int cupsPrintFile(const char* name, const char* filename, const char* title, int num_options, cups_option_t* options)
{
    PLOTWISE_CUPS_FUNCTION(cupsPrintFile);
    return real ? real(name, filename, title, num_options, options) : 0;
}

const char* cupsLastErrorString(void)
{
    PLOTWISE_CUPS_FUNCTION(cupsLastErrorString);
    return real ? real() : kCupsMissing;
}

int cupsGetDests2(http_t* http, cups_dest_t** dests)
{
    PLOTWISE_CUPS_FUNCTION(cupsGetDests2);
    if (real)
        return real(http, dests);
    if (dests)
        *dests = nullptr;
    return 0;
}

cups_dest_t* cupsGetDest(const char* name, const char* instance, int num_dests, cups_dest_t* dests)
{
    PLOTWISE_CUPS_FUNCTION(cupsGetDest);
    return real ? real(name, instance, num_dests, dests) : nullptr;
}

void cupsFreeDests(int num_dests, cups_dest_t* dests)
{
    PLOTWISE_CUPS_FUNCTION(cupsFreeDests);
    if (real)
        real(num_dests, dests);
}

cups_dinfo_t* cupsCopyDestInfo(http_t* http, cups_dest_t* dest)
{
    PLOTWISE_CUPS_FUNCTION(cupsCopyDestInfo);
    return real ? real(http, dest) : nullptr;
}

void cupsFreeDestInfo(cups_dinfo_t* dinfo)
{
    PLOTWISE_CUPS_FUNCTION(cupsFreeDestInfo);
    if (real)
        real(dinfo);
}

int cupsGetDestMediaDefault(http_t* http, cups_dest_t* dest, cups_dinfo_t* dinfo, unsigned flags, cups_size_t* size)
{
    PLOTWISE_CUPS_FUNCTION(cupsGetDestMediaDefault);
    return real ? real(http, dest, dinfo, flags, size) : 0;
}

cups_dest_t* cupsGetNamedDest(http_t* http, const char* name, const char* instance)
{
    PLOTWISE_CUPS_FUNCTION(cupsGetNamedDest);
    return real ? real(http, name, instance) : nullptr;
}

const char* cupsGetOption(const char* name, int num_options, cups_option_t* options)
{
    PLOTWISE_CUPS_FUNCTION(cupsGetOption);
    return real ? real(name, num_options, options) : nullptr;
}

pwg_media_t* pwgMediaForPWG(const char* pwg)
{
    PLOTWISE_CUPS_FUNCTION(pwgMediaForPWG);
    return real ? real(pwg) : nullptr;
}

pwg_media_t* pwgMediaForLegacy(const char* legacy)
{
    PLOTWISE_CUPS_FUNCTION(pwgMediaForLegacy);
    return real ? real(legacy) : nullptr;
}

} // extern "C"
