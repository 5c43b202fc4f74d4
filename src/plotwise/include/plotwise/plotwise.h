/*
 * Plotwise, the printing library: its exported C functions.
 *
 * A program loads libplotwise with dlopen and finds every function by name;
 * PLOTWISE_FUNCTIONS lists them once, so the library's declarations and a
 * caller's table of function pointers come from the same list.
 *
 * One print job: PLW_Init, PLW_SetReportLevel, PLW_PrintDlg, PLW_GetPrinterDC
 * (the first page is open), drawing calls, PLW_EndPage/PLW_StartPage between
 * pages, PLW_EndDoc, PLW_StatusCheck, PLW_DeleteDC, PLW_UnInit. A page that
 * received nothing is not emitted.
 */
#ifndef PLOTWISE_H
#define PLOTWISE_H

#include "plotwise_list.h"

#ifdef __cplusplus
extern "C" {
#endif

#define PLOTWISE_DECLARE(ret, name, params) __attribute__((visibility("default"))) ret name params;
PLOTWISE_FUNCTIONS(PLOTWISE_DECLARE)
#undef PLOTWISE_DECLARE

#ifdef __cplusplus
}
#endif

#endif
