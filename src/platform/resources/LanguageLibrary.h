#ifndef TALLOWIN_LANGUAGE_LIBRARY_H
#define TALLOWIN_LANGUAGE_LIBRARY_H

/* The interface of a language library: a shared library named "tallowinlang"
   and the language identifier, in the program's library directory, that
   exports one C function returning its resources. The program reads the
   strings now; the resource list has room for dialog templates, menus and
   accelerator tables, so a library can carry them without a new interface. */

#include <stdint.h>
#include <uchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TALLOWIN_RESOURCES_VERSION 1u
#define TALLOWIN_RESOURCES_SYMBOL "TallowinLanguageResources"

/* One string-table entry. text[length] is the terminating zero: callers get
   pointers into the stored text. */
typedef struct TallowinString {
    uint32_t id;
    uint32_t length;
    const char16_t* text;
} TallowinString;

/* Any other resource, as the bytes of its template. */
typedef struct TallowinResource {
    uint32_t type;
    uint32_t id;
    uint32_t size;
    const void* data;
} TallowinResource;

typedef struct TallowinResources {
    uint32_t version; /* TALLOWIN_RESOURCES_VERSION */
    uint32_t stringCount;
    const TallowinString* strings; /* sorted by id, ids unique */
    uint32_t resourceCount;
    const TallowinResource* resources; /* sorted by type, then id */
} TallowinResources;

typedef const TallowinResources* (*TallowinResourcesFunction)(void);

/* Exported even when a library hides its other symbols. */
__attribute__((visibility("default"))) const TallowinResources* TallowinLanguageResources(void);

#ifdef __cplusplus
}
#endif

#endif
