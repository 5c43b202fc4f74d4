#pragma once

// The Qt widgets of the e-mail view: the header bar with the folder and sort
// buttons over a list of two-line message rows, read through the layout's
// row function only when a row is painted; the sort popup; and the folder
// tree shown as a drop-down under the folder button.

#include "WindowSystem.h"

#include <QWidget>

#include <functional>

class QListView;
class QToolButton;

namespace platform {

class MailRowsModel;

class QtMailList final : public QWidget {
public:
    // `activate(row)` runs for a tapped row, `command(id)` for a header button.
    QtMailList(const MailListLayout& layout, std::function<void(int)> activate, std::function<void(int)> command,
        QWidget* parent);

    void SetCount(int count);
    void SetHeader(const std::u16string& folderText, const std::u16string& sortText);
    int ListWidth() const;
    int RowsPerPage() const;
    // The sort popup under the sort button; the chosen id or 0.
    int Popup(const std::vector<MenuItem>& items);
    // The folder tree under the folder button; the chosen item or 0.
    TreeHandle RunFolderTree(const WindowModel& model, const std::function<void(TreeHandle)>& expanding);

private:
    QToolButton* folder_ = nullptr;
    QToolButton* sort_ = nullptr;
    QListView* list_ = nullptr;
    MailRowsModel* rows_ = nullptr;
};

} // namespace platform
