#pragma once

// The window system: the operations the main window's procedure uses on its
// window, its menu bar, the view buttons on that bar and the document list,
// and the message loop that feeds the procedure. The window system in use
// keeps the state of every element in a model (WindowModel); the headless
// one (print-only starts, tests) keeps only the model, the Qt one of the
// module tallowinwindow.so shows it and turns a person's input into the
// same messages.

#include "Dialog.h"
#include "DialogHost.h"
#include "Module.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using WindowHandle = void*;
using MenuBarHandle = void*;

// The window procedure: the result depends on the message.
using WindowProc = std::intptr_t (*)(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Messages of the window procedure besides those of Dialog.h.
inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_ACTIVATE = 0x0006;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_DRAWITEM = 0x002B;
inline constexpr unsigned WM_NOTIFY = 0x004E;
inline constexpr unsigned WM_INITMENUPOPUP = 0x0117;

// The document list: sent once after creation, and the request for the
// path of the activated entry. lParam of the path request points at a
// std::u16string that receives the whole path, however long; the result is
// non-zero when a path was delivered.
inline constexpr unsigned DLM_CREATED = 1624;
inline constexpr unsigned DLM_GETSELPATHNAME = 1630;
// The notification (WM_NOTIFY code) of an activated entry.
inline constexpr unsigned DLN_ITEMACTIVATED = 11000;

// The record WM_NOTIFY points at (lParam).
struct NotifyHeader {
    WindowHandle From = nullptr;
    int IdFrom = 0;
    unsigned Code = 0;
};

// The class the main window is created from.
struct WindowClass {
    std::uint32_t Style = 0;
    WindowProc Procedure = nullptr;
    ModuleHandle Module = nullptr;
    std::int32_t IconId = 0;
    std::u16string ClassName;
};

// One item of a drop-down menu; id 0 is a separator.
struct MenuItem {
    int Id = 0;
    std::u16string Text;
    bool Checked = false;
};

// A menu bar with one drop-down button, as created from a menu-bar resource.
struct MenuBarLayout {
    int MenuBarId = 0;
    int ButtonCommand = 0;
    std::u16string ButtonTitle;
    std::vector<MenuItem> Items;
};

// Tool-button states and styles.
inline constexpr int TBSTATE_ENABLED = 4;
inline constexpr int TBSTATE_CHECKED_ENABLED = 6;
inline constexpr int TBSTYLE_SEP = 1;
inline constexpr int TBSTYLE_CHECKGROUP = 6;

struct ToolButton {
    int Image = -1; // index into the bar's images; -1 for none
    int Command = 0;
    int State = TBSTATE_ENABLED;
    int Style = 0;
    std::u16string ToolTip;
};

struct MenuBarModel {
    MenuBarLayout Layout;
    ModuleHandle Module = nullptr;
    int BitmapId = 0; // the images of the view buttons
    int ImageCount = 0;
    std::vector<ToolButton> Buttons;

    MenuItem* Item(int id);
    ToolButton* Button(int command);
};

// One file of the document list.
struct DocumentEntry {
    std::filesystem::path Path;
    std::u16string Name;
    std::filesystem::file_time_type Modified;
    std::uintmax_t Size = 0;
};

// What the document list shows: the files below Folder (and its subfolders)
// whose names match one of Patterns ("*.psw *.rtf", case-insensitive).
struct DocumentListLayout {
    WindowHandle Parent = nullptr;
    int ControlId = 0;
    std::u16string FilterLabel;
    std::u16string Patterns;
    std::filesystem::path Folder;
};

struct DocumentListModel {
    DocumentListLayout Layout;
    std::vector<DocumentEntry> Entries;
    int Selected = -1;
};

// The e-mail list: a header bar with the folder button (its text cut to
// fit, with "... ") and the sort button, each followed by a drop-down arrow,
// over a list of two-line rows (sender and date, then the subject, with a
// read or unread mark) that the view reads only when a row is drawn.
struct MailListRow {
    std::u16string Sender;
    std::u16string Date;
    std::u16string Subject;
    bool Unread = false;
};

struct MailListLayout {
    WindowHandle Parent = nullptr;
    int ControlId = 0;
    int FolderButtonCommand = 0;
    int SortButtonCommand = 0;
    // Row `row`; nothing leaves the row blank.
    std::function<std::optional<MailListRow>(int row)> Row;
};

struct MailListModel {
    MailListLayout Layout;
    int Count = 0;
    int Selected = -1;
    std::u16string FolderText;
    std::u16string SortText;
};

// The notification of a tapped e-mail row (WM_NOTIFY code; lParam points at
// a MailRowNotify).
inline constexpr unsigned MLN_ROWACTIVATED = static_cast<unsigned>(-2); // NM_CLICK
struct MailRowNotify {
    NotifyHeader Header;
    int Row = -1;
};

// A tree item of the folder dialog; 0 is none.
using TreeHandle = std::uintptr_t;

struct FolderTreeItem {
    TreeHandle Parent = 0;
    std::u16string Name;
    bool HasChildren = false;
    int Image = 0;
    std::uintptr_t Data = 0;
    std::vector<TreeHandle> Children; // sorted by name
};

// The state of every element the window system shows.
class WindowModel {
public:
    virtual ~WindowModel() = default;

    virtual bool RegisterClassW(const WindowClass& windowClass);
    // The new visible top-level window; null when its class is unknown or it
    // cannot be shown.
    virtual WindowHandle CreateWindowExW(const std::u16string& className, const std::u16string& title, ModuleHandle module);
    // Sends WM_DESTROY, then forgets the window.
    virtual bool DestroyWindow(WindowHandle window);
    virtual void ShowWindow(WindowHandle window, int showState);
    virtual PixelRect GetWindowRect(WindowHandle window) const;
    virtual void MoveWindow(WindowHandle window, const PixelRect& rect);
    virtual void SetForegroundWindow(WindowHandle window);

    virtual MenuBarHandle CreateMenuBar(WindowHandle window, const MenuBarLayout& layout, ModuleHandle module);
    virtual void DestroyMenuBar(MenuBarHandle bar);
    virtual void CheckMenuItem(MenuBarHandle bar, int id, bool checked);
    virtual void AddToolButtons(MenuBarHandle bar, ModuleHandle module, int bitmapId, int imageCount,
        const std::vector<ToolButton>& buttons);
    virtual void SetButtonState(MenuBarHandle bar, int command, int state);

    virtual WindowHandle CreateDocumentList(const DocumentListLayout& layout);
    virtual void DestroyDocumentList(WindowHandle list);
    // Reads the folder again.
    virtual void RefreshDocumentList(WindowHandle list);

    virtual WindowHandle CreateMailList(const MailListLayout& layout);
    virtual void DestroyMailList(WindowHandle list);
    // The list holds `count` rows, all read again when shown.
    virtual void SetMailListCount(WindowHandle list, int count);
    virtual void SetMailHeader(WindowHandle list, const std::u16string& folderText, const std::u16string& sortText);
    virtual int MailListWidth(WindowHandle list) const;
    virtual int MailRowsPerPage(WindowHandle list) const;
    // The sort popup under the sort button: the chosen item's id, 0 for none.
    // The headless model chooses nothing.
    virtual int TrackPopupMenu(WindowHandle list, const std::vector<MenuItem>& items);

    // The folder dialog's tree. Items are kept sorted among their siblings.
    virtual TreeHandle InsertTreeItem(
        TreeHandle parent, const std::u16string& name, bool hasChildren, int image, std::uintptr_t data);
    virtual void DeleteAllTreeItems();
    virtual void SetCurrentTreeItem(TreeHandle item);
    TreeHandle CurrentTreeItem() const { return currentTreeItem_; }
    const FolderTreeItem* TreeItem(TreeHandle item) const;
    const std::vector<TreeHandle>& TreeRoots() const { return treeRoots_; }
    // Shows the tree as a drop-down under the folder button until a person
    // chooses an item (returned) or closes it (0). `expanding` runs when an
    // item without child items yet is opened. The headless model chooses
    // nothing.
    virtual TreeHandle RunFolderTree(WindowHandle list, const std::function<void(TreeHandle)>& expanding);

    // Calls `ready` on the message loop whenever fd can be read; the
    // headless model has no loop to watch it on.
    virtual void WatchReadable(int fd, std::function<void()> ready);
    virtual void StopWatching(int fd);

    // Runs until PostQuitMessage; returns its code.
    virtual int RunMessageLoop();
    virtual void PostQuitMessage(int code);

    // The window system's own message boxes and busy cursor; the headless
    // model has none (false: use the default).
    virtual bool HasMessageBoxes() const { return false; }
    virtual int MessageBox(std::u16string_view text, std::u16string_view caption);
    virtual void SetBusyCursor(bool busy);
    // The host that runs the option dialogs in this window system; null for
    // the default one.
    virtual DialogHost* DialogHostOfWindows() { return nullptr; }

    // What a person does: activates the entry of a document list (a click,
    // a tap, Enter) or chooses a command (a menu item or a button).
    void ActivateDocumentEntry(WindowHandle list, int index);
    void ChooseCommand(WindowHandle window, int command);
    // A tap on row `row` of an e-mail list.
    void ActivateMailRow(WindowHandle list, int row);

    // Delivers a message to the window's procedure; 0 for an unknown window.
    std::intptr_t SendMessageW(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    struct Window {
        std::u16string Title;
        WindowProc Procedure = nullptr;
        PixelRect Rect;
        int ShowState = 0;
        bool Foreground = false;
    };
    const Window* FindWindow(WindowHandle window) const;
    MenuBarModel* MenuBar(MenuBarHandle bar);
    DocumentListModel* DocumentList(WindowHandle list);
    MailListModel* MailList(WindowHandle list);
    const MailListModel* MailList(WindowHandle list) const;
    // The last menu bar and document list created and not destroyed.
    MenuBarHandle CurrentMenuBar() const { return currentMenuBar_; }
    WindowHandle CurrentDocumentList() const { return currentList_; }
    WindowHandle CurrentMailList() const { return currentMailList_; }
    bool QuitPosted() const { return quit_.has_value(); }
    // Forgets every class, window, menu bar and list.
    void Reset();

protected:
    std::map<std::u16string, WindowClass> classes_;
    std::map<WindowHandle, std::unique_ptr<Window>> windows_;
    std::map<MenuBarHandle, std::unique_ptr<MenuBarModel>> menuBars_;
    std::map<WindowHandle, std::unique_ptr<DocumentListModel>> lists_;
    std::map<WindowHandle, std::unique_ptr<MailListModel>> mailLists_;
    std::map<TreeHandle, std::unique_ptr<FolderTreeItem>> treeItems_;
    std::vector<TreeHandle> treeRoots_;
    TreeHandle currentTreeItem_ = 0;
    MenuBarHandle currentMenuBar_ = nullptr;
    WindowHandle currentList_ = nullptr;
    WindowHandle currentMailList_ = nullptr;
    std::optional<int> quit_;
};

// The window system in use; the headless model unless another was installed.
WindowModel& CurrentWindowSystem();
// Installs a window system (not owned); null restores the headless one,
// emptied.
void SetWindowSystem(WindowModel* system);
// True while the headless model is in use.
bool IsHeadlessWindowSystem();

// The files below folder whose names match one of the patterns, sorted by
// path. Unreadable folders are skipped.
std::vector<DocumentEntry> ListDocuments(const std::filesystem::path& folder, std::u16string_view patterns);

// True when name matches one of the space-separated patterns ("*.psw"),
// ignoring ASCII case.
bool MatchesPatterns(std::u16string_view name, std::u16string_view patterns);

// The user's documents folder: TALLOWIN_DOCUMENTS when set and not empty,
// else XDG_DOCUMENTS_DIR (from the environment or the user-dirs file of the
// configuration folder), else ~/Documents.
std::filesystem::path DocumentsFolder();

} // namespace platform
