#include "WindowSystem.h"

#include <algorithm>

namespace platform {
namespace {

// A screen of the handheld's proportions for the headless model.
constexpr PixelRect kDefaultWindowRect { 0, 0, 480, 640 };

WindowModel headless;
WindowModel* current = &headless;

// The elements the model keeps by handle, the last one made being current.
template <typename Model>
void* Keep(std::map<void*, std::unique_ptr<Model>>& kept, void*& currentOne, std::unique_ptr<Model> model)
{
    void* handle = model.get();
    kept[handle] = std::move(model);
    currentOne = handle;
    return handle;
}

template <typename Model> void Forget(std::map<void*, std::unique_ptr<Model>>& kept, void*& currentOne, void* handle)
{
    kept.erase(handle);
    if (currentOne == handle)
        currentOne = nullptr;
}

template <typename Model> Model* Find(const std::map<void*, std::unique_ptr<Model>>& kept, void* handle)
{
    auto found = kept.find(handle);
    return found != kept.end() ? found->second.get() : nullptr;
}

} // namespace

MenuItem* MenuBarModel::Item(int id)
{
    for (MenuItem& item : Layout.Items) {
        if (item.Id == id && id != 0)
            return &item;
    }
    return nullptr;
}

ToolButton* MenuBarModel::Button(int command)
{
    for (ToolButton& button : Buttons) {
        if (button.Command == command && button.Style != TBSTYLE_SEP)
            return &button;
    }
    return nullptr;
}

bool WindowModel::RegisterClassW(const WindowClass& windowClass)
{
    if (windowClass.Procedure == nullptr || windowClass.ClassName.empty())
        return false;
    classes_[windowClass.ClassName] = windowClass;
    return true;
}

WindowHandle WindowModel::CreateWindowExW(const std::u16string& className, const std::u16string& title, ModuleHandle)
{
    auto found = classes_.find(className);
    if (found == classes_.end())
        return nullptr;
    auto window = std::make_unique<Window>();
    window->Title = title;
    window->Procedure = found->second.Procedure;
    window->Rect = kDefaultWindowRect;
    WindowHandle handle = window.get();
    windows_[handle] = std::move(window);
    return handle;
}

bool WindowModel::DestroyWindow(WindowHandle window)
{
    if (!windows_.contains(window))
        return false;
    SendMessageW(window, WM_DESTROY, 0, 0);
    windows_.erase(window);
    return true;
}

void WindowModel::ShowWindow(WindowHandle window, int showState)
{
    if (auto found = windows_.find(window); found != windows_.end())
        found->second->ShowState = showState;
}

PixelRect WindowModel::GetWindowRect(WindowHandle window) const
{
    const Window* found = FindWindow(window);
    return found != nullptr ? found->Rect : PixelRect {};
}

void WindowModel::MoveWindow(WindowHandle window, const PixelRect& rect)
{
    if (auto found = windows_.find(window); found != windows_.end())
        found->second->Rect = rect;
}

void WindowModel::SetForegroundWindow(WindowHandle window)
{
    if (auto found = windows_.find(window); found != windows_.end())
        found->second->Foreground = true;
}

MenuBarHandle WindowModel::CreateMenuBar(WindowHandle window, const MenuBarLayout& layout, ModuleHandle module)
{
    if (!windows_.contains(window))
        return nullptr;
    auto bar = std::make_unique<MenuBarModel>();
    bar->Layout = layout;
    bar->Module = module;
    return Keep(menuBars_, currentMenuBar_, std::move(bar));
}

void WindowModel::DestroyMenuBar(MenuBarHandle bar)
{
    Forget(menuBars_, currentMenuBar_, bar);
}

void WindowModel::CheckMenuItem(MenuBarHandle bar, int id, bool checked)
{
    if (MenuBarModel* model = MenuBar(bar)) {
        if (MenuItem* item = model->Item(id))
            item->Checked = checked;
    }
}

void WindowModel::AddToolButtons(
    MenuBarHandle bar, ModuleHandle module, int bitmapId, int imageCount, const std::vector<ToolButton>& buttons)
{
    MenuBarModel* model = MenuBar(bar);
    if (model == nullptr)
        return;
    model->Module = module;
    model->BitmapId = bitmapId;
    model->ImageCount = imageCount;
    model->Buttons.insert(model->Buttons.end(), buttons.begin(), buttons.end());
}

void WindowModel::SetButtonState(MenuBarHandle bar, int command, int state)
{
    if (MenuBarModel* model = MenuBar(bar)) {
        if (ToolButton* button = model->Button(command))
            button->State = state;
    }
}

WindowHandle WindowModel::CreateDocumentList(const DocumentListLayout& layout)
{
    if (!windows_.contains(layout.Parent))
        return nullptr;
    auto list = std::make_unique<DocumentListModel>();
    list->Layout = layout;
    list->Entries = ListDocuments(layout.Folder, layout.Patterns);
    return Keep(lists_, currentList_, std::move(list));
}

void WindowModel::DestroyDocumentList(WindowHandle list)
{
    Forget(lists_, currentList_, list);
}

void WindowModel::RefreshDocumentList(WindowHandle list)
{
    if (DocumentListModel* model = DocumentList(list)) {
        model->Entries = ListDocuments(model->Layout.Folder, model->Layout.Patterns);
        if (model->Selected >= static_cast<int>(model->Entries.size()))
            model->Selected = -1;
    }
}

// Without a screen nobody can act: the loop ends at once unless a message
// handler has already asked it to.
int WindowModel::RunMessageLoop()
{
    int code = quit_.value_or(0);
    quit_.reset();
    return code;
}

void WindowModel::PostQuitMessage(int code)
{
    quit_ = code;
}

void WindowModel::WatchReadable(int, std::function<void()>)
{
}

void WindowModel::StopWatching(int)
{
}

int WindowModel::MessageBox(std::u16string_view, std::u16string_view)
{
    return 1;
}

void WindowModel::SetBusyCursor(bool)
{
}

void WindowModel::ActivateDocumentEntry(WindowHandle list, int index)
{
    DocumentListModel* model = DocumentList(list);
    if (model == nullptr || index < 0 || index >= static_cast<int>(model->Entries.size()))
        return;
    model->Selected = index;
    NotifyHeader header { list, model->Layout.ControlId, DLN_ITEMACTIVATED };
    SendMessageW(model->Layout.Parent, WM_NOTIFY, static_cast<std::uintptr_t>(model->Layout.ControlId),
        reinterpret_cast<std::intptr_t>(&header));
}

WindowHandle WindowModel::CreateMailList(const MailListLayout& layout)
{
    if (!windows_.contains(layout.Parent))
        return nullptr;
    auto list = std::make_unique<MailListModel>();
    list->Layout = layout;
    return Keep(mailLists_, currentMailList_, std::move(list));
}

void WindowModel::DestroyMailList(WindowHandle list)
{
    Forget(mailLists_, currentMailList_, list);
}

void WindowModel::SetMailListCount(WindowHandle list, int count)
{
    if (MailListModel* model = MailList(list)) {
        model->Count = std::max(count, 0);
        if (model->Selected >= model->Count)
            model->Selected = -1;
    }
}

void WindowModel::SetMailHeader(WindowHandle list, const std::u16string& folderText, const std::u16string& sortText)
{
    if (MailListModel* model = MailList(list)) {
        model->FolderText = folderText;
        model->SortText = sortText;
    }
}

// A handheld's list: the screen's width, 32-pixel rows below the bars.
int WindowModel::MailListWidth(WindowHandle) const
{
    return 240;
}

int WindowModel::MailRowsPerPage(WindowHandle) const
{
    return 7;
}

int WindowModel::TrackPopupMenu(WindowHandle, const std::vector<MenuItem>&)
{
    return 0;
}

TreeHandle WindowModel::InsertTreeItem(
    TreeHandle parent, const std::u16string& name, bool hasChildren, int image, std::uintptr_t data)
{
    std::vector<TreeHandle>* siblings = &treeRoots_;
    if (parent != 0) {
        auto found = treeItems_.find(parent);
        if (found == treeItems_.end())
            return 0;
        siblings = &found->second->Children;
    }
    auto item = std::make_unique<FolderTreeItem>(FolderTreeItem { parent, name, hasChildren, image, data, {} });
    const TreeHandle handle = reinterpret_cast<TreeHandle>(item.get());
    auto at = std::find_if(siblings->begin(), siblings->end(),
        [this, &name](TreeHandle sibling) { return name < treeItems_.at(sibling)->Name; });
    siblings->insert(at, handle);
    treeItems_[handle] = std::move(item);
    return handle;
}

void WindowModel::DeleteAllTreeItems()
{
    treeItems_.clear();
    treeRoots_.clear();
    currentTreeItem_ = 0;
}

void WindowModel::SetCurrentTreeItem(TreeHandle item)
{
    currentTreeItem_ = treeItems_.contains(item) ? item : 0;
}

const FolderTreeItem* WindowModel::TreeItem(TreeHandle item) const
{
    auto found = treeItems_.find(item);
    return found != treeItems_.end() ? found->second.get() : nullptr;
}

TreeHandle WindowModel::RunFolderTree(WindowHandle, const std::function<void(TreeHandle)>&)
{
    return 0;
}

void WindowModel::ActivateMailRow(WindowHandle list, int row)
{
    MailListModel* model = MailList(list);
    if (model == nullptr)
        return;
    MailRowNotify notify { { list, model->Layout.ControlId, MLN_ROWACTIVATED }, row };
    SendMessageW(model->Layout.Parent, WM_NOTIFY, static_cast<std::uintptr_t>(model->Layout.ControlId),
        reinterpret_cast<std::intptr_t>(&notify));
}

void WindowModel::ChooseCommand(WindowHandle window, int command)
{
    SendMessageW(window, WM_COMMAND, MakeCommandParam(command, 0), 0);
}

std::intptr_t WindowModel::SendMessageW(
    WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // The document list answers its own messages.
    if (DocumentListModel* list = DocumentList(window)) {
        if (message == DLM_GETSELPATHNAME) {
            if (list->Selected < 0 || lParam == 0)
                return 0;
            *reinterpret_cast<std::u16string*>(lParam)
                = list->Entries[static_cast<std::size_t>(list->Selected)].Path.u16string();
            return 1;
        }
        return 0;
    }
    auto found = windows_.find(window);
    if (found == windows_.end() || found->second->Procedure == nullptr)
        return 0;
    return found->second->Procedure(window, message, wParam, lParam);
}

const WindowModel::Window* WindowModel::FindWindow(WindowHandle window) const
{
    auto found = windows_.find(window);
    return found != windows_.end() ? found->second.get() : nullptr;
}

MenuBarModel* WindowModel::MenuBar(MenuBarHandle bar)
{
    return Find(menuBars_, bar);
}

DocumentListModel* WindowModel::DocumentList(WindowHandle list)
{
    return Find(lists_, list);
}

MailListModel* WindowModel::MailList(WindowHandle list)
{
    return Find(mailLists_, list);
}

const MailListModel* WindowModel::MailList(WindowHandle list) const
{
    return Find(mailLists_, list);
}

void WindowModel::Reset()
{
    classes_.clear();
    windows_.clear();
    menuBars_.clear();
    lists_.clear();
    mailLists_.clear();
    DeleteAllTreeItems();
    currentMenuBar_ = nullptr;
    currentList_ = nullptr;
    currentMailList_ = nullptr;
    quit_.reset();
}

WindowModel& CurrentWindowSystem()
{
    return *current;
}

void SetWindowSystem(WindowModel* system)
{
    if (system == nullptr) {
        headless.Reset();
        current = &headless;
    } else {
        current = system;
    }
}

bool IsHeadlessWindowSystem()
{
    return current == &headless;
}

} // namespace platform
