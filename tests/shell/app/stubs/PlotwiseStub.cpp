// A printing library that does nothing, for the start-up tests. It reports
// PLOTWISE_STUB_VERSION and exports every function, except PLW_GetVersion
// when PLOTWISE_STUB_NO_VERSION is defined and PLW_EnumFontsW when
// PLOTWISE_STUB_INCOMPLETE is defined.
#include <plotwise/plotwise_list.h>

// Renaming an export before the list is expanded keeps it out of the
// library's exported names.
#define PLW_GetVersion PlotwiseStubGeneratedGetVersion
#if defined(PLOTWISE_STUB_INCOMPLETE)
#define PLW_EnumFontsW PlotwiseStubMissingEnumFontsW
#endif

#define PLOTWISE_STUB(ret, name, params)                                                                               \
    extern "C" __attribute__((visibility("default"))) ret name params                                                  \
    {                                                                                                                  \
        return ret();                                                                                                  \
    }
PLOTWISE_FUNCTIONS(PLOTWISE_STUB)
#undef PLOTWISE_STUB
#undef PLW_GetVersion

#if !defined(PLOTWISE_STUB_NO_VERSION)
extern "C" __attribute__((visibility("default"))) int32_t PLW_GetVersion(void)
{
    return PLOTWISE_STUB_VERSION;
}
#endif
