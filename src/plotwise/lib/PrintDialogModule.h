#pragma once

// The interface between the printing library and its print dialog, which
// lives in a module of its own (libplotwise-dialog.so, beside the library)
// because it needs Qt: the library loads the module only when the dialog is
// to be shown, so a job printed without the dialog never loads Qt. The
// module answers in plain C so that the two sides share no C++ objects.

#include <stdint.h>

extern "C" {

// The module's one export.
#define PLOTWISE_DIALOG_ENTRY "plotwise_dialog_run"
#define PLOTWISE_DIALOG_MODULE "libplotwise-dialog.so"

typedef struct {
    const char* Title; // the job's title, UTF-8
    const char* const* Queues; // the print queues by name
    int32_t QueueCount;
    int32_t DefaultQueue; // index of the system's default queue, -1 when none
    int32_t Queue; // index preselected, -1 for "Save as PDF"
    const char* FilePath; // the file "Save as PDF" writes, as the setup names it
    const char* const* Papers; // paper labels
    int32_t PaperCount;
    int32_t Paper; // index preselected
    int32_t Landscape;
    int32_t Copies;
} PlotwiseDialogRequest;

typedef struct {
    int32_t Queue; // index into the request's queues, -1 for "Save as PDF"
    char* FilePath; // allocated with malloc by the module, freed by the library
    int32_t FileChosen; // the user chose or typed the file: an existing one is replaced
    int32_t Paper;
    int32_t Landscape;
    int32_t Copies;
} PlotwiseDialogAnswer;

#define PLOTWISE_DIALOG_NO_DISPLAY (-1)
#define PLOTWISE_DIALOG_CANCELLED 0
#define PLOTWISE_DIALOG_ACCEPTED 1

// Shows the dialog and waits for the user. Returns one of the three values
// above; the answer is filled only when the user accepted.
typedef int32_t (*PlotwiseDialogRun)(const PlotwiseDialogRequest* request, PlotwiseDialogAnswer* answer);
}
