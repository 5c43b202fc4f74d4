#pragma once

#include <string>

// The routines every part of the program uses to show text to the user.
// Texts come from the string table of the resource module; a message box
// has the caption of entry 40078 and one OK button.

#include "Module.h"

#include <cstddef>
#include <functional>

namespace core {

// The module strings, dialogs and other resources come from: the accepted
// language library, else the program module (also before it is set).
platform::ModuleHandle ResourceModule();
void SetResourceModule(platform::ModuleHandle module);

// The text of string `id`, from `module`, falling back to the program
// module. With a buffer the text is copied into it (at most size units,
// including the terminator) and the buffer is returned; with a null buffer
// the result points at the stored text. Null when the entry exists nowhere,
// and with a buffer of size 0, which cannot even hold the terminator.
const char16_t* LoadResString(platform::ModuleHandle module, unsigned id, char16_t* buffer, std::size_t size);

// Shows entry `id` in a message box; returns the box's result.
int ShowMessageId(unsigned id);

// Shows entry `id` followed by `text` (a file name), or the entry alone when
// the two together would reach 200 characters or the text is null.
int ShowMessageIdWithText(unsigned id, const char16_t* text);

// Shows entry `id` followed by a file's path as the user wrote it and, when
// the file system tells why the file cannot be read, the reason: "Unable to
// open file: notes (a folder)". The reason is left out when the message
// would reach 200 characters with it.
int ShowFileMessage(unsigned id, const char16_t* path);

// A path from the command line as the user wrote it: the command line
// separates folders with "\", a message shows them with "/".
std::u16string PathAsWritten(const char16_t* path);

// Help topics: the window and dialogs open the help page of their subject
// on WM_HELP.
inline constexpr int kHelpTopicMainWindow = 0; // the page of the current view
inline constexpr int kHelpTopicResizeDialog = 1;
inline constexpr int kHelpTopicStartupScreen = 2;
inline constexpr int kHelpTopicEmailOptions = 3;
inline constexpr int kHelpTopicSheetOptions = 5;

// Starts the help viewer on the page of a topic. A topic without a page,
// and a viewer that cannot be started, show nothing.
void ShowHelpTopic(int topic);

// Show and hide the wait cursor around long work; they keep no count.
// Without a window there is no cursor and both do nothing.
void ShowBusyCursor();
void HideBusyCursor();

// The window installs a host that sets the wait cursor (busy) or no cursor
// and lets it be drawn; an empty function restores the windowless default.
using BusyCursorHost = std::function<void(bool busy)>;
void SetBusyCursorHost(BusyCursorHost host);

} // namespace core
