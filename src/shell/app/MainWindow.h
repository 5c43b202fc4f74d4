#pragma once

// The program's one top-level window: its window procedure, the document and
// workbook lists with their menu bars, the view buttons and the view
// switches. The window system (platform/window) shows what this logic
// builds: headless for a print-only start and tests, Qt for an interactive
// start.

#include "Module.h"
#include "WindowSystem.h"

#include <cstdint>
#include <string>

namespace shell {

using WindowHandle = platform::WindowHandle;

// Commands of the menus and view buttons.
inline constexpr int kCmdExit = 2;
inline constexpr int kCmdQuickPrint = 40007;
inline constexpr int kCmdPlainText = 40008;
inline constexpr int kCmdResizeOptions = 40011;
inline constexpr int kCmdAbout = 40012;
inline constexpr int kCmdViewDocuments = 40015;
inline constexpr int kCmdViewEmail = 40016;
inline constexpr int kCmdEmailOptions = 40020;
inline constexpr int kCmdDocOptions = 40035;
inline constexpr int kCmdViewWorkbooks = 40039;
inline constexpr int kCmdExcelOptions = 40041;
// The e-mail view's header buttons and sort popup.
inline constexpr int kCmdSortButton = 126;
inline constexpr int kCmdSortFrom = 40029;
inline constexpr int kCmdSortReceivedDate = 40030;
inline constexpr int kCmdSortSubject = 40031;
inline constexpr int kCmdFolderButton = 40023;

inline constexpr int kMenuBarEmail = 103;
inline constexpr int kMailListControlId = 2000;

// The check mark of an item of the current view's options menu.
void SetMenuCheck(int id, bool checked);

// String `id` of the resource module, else `fallback`.
std::u16string ResourceText(unsigned id, const char16_t* fallback);

// The e-mail view, as the main window sees it. The e-mail subsystem plugs
// its view in with SetMailView; until then the e-mail view is an empty list
// under its own menu bar.
class MailView {
public:
    virtual ~MailView() = default;
    // False (after showing why) when e-mail cannot be shown here.
    virtual bool MailAvailable() = 0;
    // Builds the view over the main window; sets ViewMode 2 and saves the
    // settings. On failure it falls back to the document list itself.
    virtual void CreateMailView() = 0;
    virtual void DestroyMailView() = 0;
    // Re-reads the current folder (on re-activation of the window).
    virtual void RefreshMailView() = 0;
    // WM_PAINT, WM_DRAWITEM, WM_NOTIFY and WM_COMMAND while the view is
    // shown; each reports whether it handled the message (and the result).
    virtual bool PaintMailHeaderBar() { return false; }
    virtual void DrawMailHeaderButton(std::intptr_t) {}
    virtual bool MailListNotify(const platform::NotifyHeader&, std::intptr_t&) { return false; }
    virtual bool MailViewCommand(int) { return false; }
};

// Installs the e-mail view (not owned); null restores the empty one.
void SetMailView(MailView* view);
MailView& CurrentMailView();

// The main window; null until created.
WindowHandle MainWindow();
void SetMainWindow(WindowHandle window);

// The window procedure of the main window's class.
std::intptr_t MainWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Builds the menu bar and the document list of ViewMode (0 or 1, set
// before the call) and saves the settings.
void CreateDocumentList();
// Destroys the document list (the menu bar stays) and sets ViewMode to -1.
void DestroyDocumentList();
void AddViewButtons();
void ResetViewButtons();

// The menu bar of the current view; null when none.
platform::MenuBarHandle CurrentMenuBar();
// Builds the menu bar `menuBarId` (102, 131 or 103), replacing the current one.
platform::MenuBarHandle CreateViewMenuBar(int menuBarId);

// Forgets the window state (tests that run the window more than once).
void ResetMainWindow();

} // namespace shell

namespace shell {

// Runs option dialog templateId (the start-up screen 103, the resize dialog
// 108 or the e-mail font options 109) modally over the main window; -1 for
// another template or one the resources lack.
std::intptr_t RunWindowDialog(unsigned templateId);

} // namespace shell
