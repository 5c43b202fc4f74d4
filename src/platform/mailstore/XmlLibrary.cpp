// Definitions of the libxml2 calls this layer makes, each bound on its first
// use to the function of the same name in the library. The program does not
// link libxml2: these take the place of its functions at link time.

#include "XmlLibrary.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// The name libxml2 is installed under, as the linker would record it.
constexpr const char* kXmlLibrary = "libxml2.so.2";

void* XmlLibrary()
{
    static void* const library = [] {
        void* loaded = dlopen(kXmlLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (loaded == nullptr)
            std::fprintf(stderr, "tallowin: HTML mail cannot be read: %s\n", dlerror());
        return loaded;
    }();
    return library;
}

// The library's function of the same type as ours. A call made without the
// library is a fault of this layer (LoadXmlLibrary comes first).
template <typename Function> Function XmlFunction(Function, const char* name)
{
    void* library = XmlLibrary();
    void* found = library != nullptr ? dlsym(library, name) : nullptr;
    if (found == nullptr) {
        std::fprintf(stderr, "tallowin: %s is missing from %s\n", name, kXmlLibrary);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

} // namespace
} // namespace platform

// Every libxml2 function the layer calls: return type, name, parameters,
// arguments.
// clang-format off
#define TALLOWIN_XML_FUNCTIONS(X) \
    X(htmlDocPtr, htmlReadMemory, (const char* buffer, int size, const char* URL, const char* encoding, int options), (buffer, size, URL, encoding, options)) \
    X(void, xmlFreeDoc, (xmlDocPtr cur), (cur)) \
    X(void, xmlInitParser, (), ())
// clang-format on

// Hidden, so that a libxml2 another library loads never binds to these.
#define TALLOWIN_XML_FORWARD(ret, name, params, args)                                                                  \
    __attribute__((visibility("hidden"))) ret(name) params                                                             \
    {                                                                                                                  \
        static const auto real = platform::XmlFunction(&name, #name);                                                  \
        return real args;                                                                                              \
    }

extern "C" {
TALLOWIN_XML_FUNCTIONS(TALLOWIN_XML_FORWARD)
}

namespace platform {

bool LoadXmlLibrary()
{
    static const bool loaded = [] {
        if (XmlLibrary() == nullptr)
            return false;
        xmlInitParser();
        return true;
    }();
    return loaded;
}

} // namespace platform
