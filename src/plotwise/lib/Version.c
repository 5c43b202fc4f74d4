/* The version this build of the library reports; PLOTWISE_VERSION comes
 * from the build, so an old-version build differs only here. */
#include "plotwise/plotwise.h"

int32_t PLW_GetVersion(void)
{
    return PLOTWISE_VERSION;
}
