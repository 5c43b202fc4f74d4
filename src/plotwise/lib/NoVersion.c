/* A build of the library without PLW_GetVersion, which callers must refuse;
 * it exists for their tests. */
#include "plotwise/plotwise.h"
