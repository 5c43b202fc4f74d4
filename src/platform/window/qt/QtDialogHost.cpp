#include "QtDialogHost.h"

#include "QtImages.h"
#include "QtText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace platform {
namespace {

// Space between the template's area and the window's edge, and below it for
// the OK button a caption OK stands for, in pixels.
constexpr int kMargin = 8;

// The template's font, never smaller than the desktop's own so that every
// label stays readable; a face the machine lacks is the desktop's.
QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font = QApplication::font();
    const QString face = dialogTemplate.FontFace != nullptr ? ToQString(dialogTemplate.FontFace) : QString();
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        font.setFamily(face);
    const qreal points = std::max<qreal>(dialogTemplate.FontPointSize, font.pointSizeF());
    font.setPointSizeF(points);
    return font;
}

// Dialog units: a horizontal unit is a quarter of the font's average
// character width, a vertical one an eighth of its height.
class Units {
public:
    explicit Units(const QFont& font)
    {
        QFontMetricsF metrics(font);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        baseX_ = metrics.horizontalAdvance(alphabet) / alphabet.size();
        baseY_ = metrics.height();
    }
    int X(int units) const { return static_cast<int>(std::lround(units * baseX_ / 4)); }
    int Y(int units) const { return static_cast<int>(std::lround(units * baseY_ / 8)); }
    QRect Rect(const DialogUnitRect& at) const { return { X(at.X), Y(at.Y), X(at.Width), Y(at.Height) }; }

private:
    qreal baseX_ = 6;
    qreal baseY_ = 13;
};

bool HasPushButtons(const Dialog& dialog)
{
    for (const DialogControl& control : dialog.Controls())
        if (control.IsButton(BS_PUSHBUTTON) || control.IsButton(BS_DEFPUSHBUTTON))
            return true;
    return false;
}

class ShownDialog final : public QDialog {
public:
    ShownDialog(Dialog& dialog, QWidget* parent)
        : QDialog(parent)
        , dialog_(dialog)
    {
        setObjectName(QStringLiteral("Dialog%1").arg(dialog.Template().Id));
        const QFont font = DialogFont(dialog.Template());
        setFont(font);
        const Units units(font);
        const DialogUnitRect& size = dialog.Template().Position;
        int width = units.X(size.Width) + 2 * kMargin;
        int height = units.Y(size.Height) + 2 * kMargin;
        std::vector<QWidget*> groups;
        for (std::size_t i = 0; i < dialog.Controls().size(); ++i)
            if (QWidget* widget = Create(i, units))
                if (qobject_cast<QGroupBox*>(widget) != nullptr)
                    groups.push_back(widget);
        // A group box frames the controls drawn over it.
        for (QWidget* group : groups)
            group->lower();
        // The caption's OK of a dialog without push buttons of its own.
        if ((dialog.Template().ExtendedStyle & WS_EX_CAPTIONOKBTN) && !HasPushButtons(dialog)) {
            auto* ok = new QPushButton(tr("OK"), this);
            ok->setObjectName(QStringLiteral("CaptionOk"));
            ok->adjustSize();
            ok->move(width - kMargin - ok->width(), height - kMargin / 2);
            height += ok->height() + kMargin / 2;
            if (dialog.DefaultButton() == nullptr)
                ok->setDefault(true);
            connect(ok, &QPushButton::clicked, this, [this] { Deliver([this] { dialog_.Press(IDOK_COMMAND); }); });
        }
        setFixedSize(width, height);
        auto* help = new QShortcut(QKeySequence::HelpContents, this);
        connect(help, &QShortcut::activated, this, [this] { Deliver([this] { dialog_.Send(WM_HELP, 0, 0); }); });
    }

    // Copies the dialog's state, as the procedure left it, to the widgets.
    void Show()
    {
        setWindowTitle(ToQString(dialog_.Title));
        for (auto& [index, widget] : widgets_)
            ShowControl(dialog_.Controls()[index], widget);
        for (auto& [index, widget] : widgets_)
            if (dialog_.Controls()[index].Id == dialog_.Focus && dialog_.Focus != 0)
                widget->setFocus();
    }

    // An edit field's focus reaches the procedure as EN_SETFOCUS and
    // EN_KILLFOCUS.
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            for (auto& [index, widget] : widgets_) {
                if (widget != object)
                    continue;
                const int id = dialog_.Controls()[index].Id;
                const unsigned code = event->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS;
                Deliver([this, id, code] { dialog_.Send(WM_COMMAND, MakeCommandParam(id, code), 0); });
            }
        }
        return QDialog::eventFilter(object, event);
    }

    void reject() override
    {
        // Escape and the window's close button send Cancel; a dialog that
        // has no Cancel of its own ends with OK.
        Deliver([this] {
            dialog_.Press(IDCANCEL_COMMAND);
            if (!dialog_.Ended && dialog_.Control(IDCANCEL_COMMAND) == nullptr)
                dialog_.Press(IDOK_COMMAND);
        });
    }

private:
    QWidget* Create(std::size_t index, const Units& units)
    {
        DialogControl& control = dialog_.Controls()[index];
        const QRect at = units.Rect(control.Position).translated(kMargin, kMargin);
        const std::u16string_view type = control.ClassName;
        QWidget* widget = nullptr;
        if (type == kButtonClass) {
            widget = CreateButton(control);
        } else if (type == kListBoxClass) {
            auto* list = new QListWidget(this);
            connect(list, &QListWidget::currentRowChanged, this, [this, &control](int row) {
                Deliver([this, &control, row] {
                    control.Selection = row;
                    dialog_.Send(WM_COMMAND, MakeCommandParam(control.Id, LBN_SELCHANGE), 0);
                });
            });
            widget = list;
        } else if (type == kComboBoxClass) {
            auto* combo = new QComboBox(this);
            connect(combo, &QComboBox::activated, this, [this, &control](int row) {
                Deliver([this, &control, row] {
                    control.Selection = row;
                    dialog_.Send(WM_COMMAND, MakeCommandParam(control.Id, CBN_SELCHANGE), 0);
                });
            });
            widget = combo;
        } else if (type == kEditClass) {
            auto* edit = new QLineEdit(this);
            edit->installEventFilter(this);
            connect(edit, &QLineEdit::textEdited, this, [this, &control](const QString& text) {
                Deliver([this, &control, text] {
                    control.Text = ToU16(text);
                    dialog_.Send(WM_COMMAND, MakeCommandParam(control.Id, EN_CHANGE), 0);
                });
            });
            widget = edit;
        } else {
            auto* label = new QLabel(this);
            if ((control.Style & SS_TYPEMASK) == SS_BITMAP) {
                const int id = control.Text.starts_with(u'#') ? QString(ToQString(control.Text).mid(1)).toInt() : 0;
                label->setPixmap(BitmapResource(id).pixmap(at.size()));
            } else {
                label->setWordWrap(at.height() >= 2 * QFontMetrics(font()).height());
                if ((control.Style & SS_TYPEMASK) == SS_CENTER)
                    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            }
            widget = label;
        }
        widget->setObjectName(QStringLiteral("Control%1").arg(control.Id));
        widget->setGeometry(at);
        // A drop-down's template height includes its open list.
        if (type == kComboBoxClass)
            widget->setGeometry(at.x(), at.y(), at.width(), widget->sizeHint().height());
        else if (type == kEditClass)
            widget->setGeometry(at.x(), at.y(), at.width(), std::max(at.height(), widget->sizeHint().height()));
        else if (qobject_cast<QAbstractButton*>(widget) != nullptr && qobject_cast<QPushButton*>(widget) == nullptr)
            widget->setGeometry(at.x(), at.y() + (at.height() - widget->sizeHint().height()) / 2, at.width(),
                widget->sizeHint().height());
        widgets_[index] = widget;
        return widget;
    }

    QWidget* CreateButton(DialogControl& control)
    {
        const std::uint32_t kind = control.Style & BS_TYPEMASK;
        if (kind == BS_GROUPBOX) {
            auto* group = new QGroupBox(this);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            return group;
        }
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) {
            auto* check = new QCheckBox(this);
            connect(check, &QCheckBox::clicked, this, [this, &control, kind](bool checked) {
                Deliver([this, &control, kind, checked] {
                    if (kind == BS_AUTOCHECKBOX)
                        control.Checked = checked ? BST_CHECKED : BST_UNCHECKED;
                    dialog_.Press(control.Id);
                });
            });
            return check;
        }
        if (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) {
            auto* radio = new QRadioButton(this);
            // Radio buttons belong together from one that starts a group to
            // the next that starts another.
            if ((control.Style & WS_GROUP) || radioGroup_ == nullptr) {
                radioGroup_ = new QButtonGroup(this);
                radioGroup_->setExclusive(true);
            }
            radioGroup_->addButton(radio);
            connect(radio, &QRadioButton::clicked, this, [this, &control, kind] {
                Deliver([this, &control, kind] {
                    if (kind == BS_AUTORADIOBUTTON)
                        CheckAlone(control);
                    dialog_.Press(control.Id);
                });
            });
            return radio;
        }
        auto* push = new QPushButton(this);
        push->setAutoDefault(false);
        push->setDefault(kind == BS_DEFPUSHBUTTON);
        connect(push, &QPushButton::clicked, this, [this, &control] { Deliver([this, &control] { dialog_.Press(control.Id); }); });
        return push;
    }

    // An automatic radio button clears the others of its group.
    void CheckAlone(DialogControl& checked)
    {
        auto& controls = dialog_.Controls();
        const auto at = static_cast<std::size_t>(&checked - controls.data());
        std::size_t first = at;
        while (first > 0 && !(controls[first].Style & WS_GROUP))
            --first;
        for (std::size_t i = first; i < controls.size(); ++i) {
            if (i > first && (controls[i].Style & WS_GROUP))
                break;
            if (controls[i].IsButton(BS_AUTORADIOBUTTON))
                controls[i].Checked = i == at ? BST_CHECKED : BST_UNCHECKED;
        }
    }

    // Runs one step of the procedure, then shows its effect or closes.
    template <typename Step> void Deliver(Step step)
    {
        if (dialog_.Ended)
            return;
        step();
        if (dialog_.Ended)
            done(static_cast<int>(dialog_.Result));
        else
            Show();
    }

    void ShowControl(const DialogControl& control, QWidget* widget)
    {
        const QSignalBlocker blocker(widget);
        widget->setEnabled(control.Enabled);
        const QString text = ToQString(control.Text);
        if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(text);
            if (button->isCheckable()) {
                // An exclusive group refuses to clear its checked button.
                QButtonGroup* group = button->group();
                if (group != nullptr && control.Checked != BST_CHECKED)
                    group->setExclusive(false);
                button->setChecked(control.Checked == BST_CHECKED);
                if (group != nullptr)
                    group->setExclusive(true);
            }
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            QStringList items;
            for (const std::u16string& item : control.Items)
                items << ToQString(item);
            if (Items(list) != items) {
                list->clear();
                list->addItems(items);
            }
            list->setCurrentRow(control.Selection);
            if (list->currentItem() != nullptr)
                list->scrollToItem(list->currentItem());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QStringList items;
            for (const std::u16string& item : control.Items)
                items << ToQString(item);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            if (shown != items) {
                combo->clear();
                combo->addItems(items);
            }
            combo->setCurrentIndex(control.Selection);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != text)
                edit->setText(text);
            edit->setReadOnly(control.ReadOnly);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->pixmap().isNull())
                label->setText(text);
        }
    }

    static QStringList Items(const QListWidget* list)
    {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }

    Dialog& dialog_;
    std::map<std::size_t, QWidget*> widgets_;
    QButtonGroup* radioGroup_ = nullptr;
};

QWidget* OwnerWidget()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainWindow") && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

void QtDialogHost::RunModal(Dialog& dialog)
{
    ShownDialog shown(dialog, OwnerWidget());
    dialog.Initialize();
    if (!dialog.Ended) {
        shown.Show();
        dialog.Foreground = true;
        shown.exec();
    }
    if (!dialog.Ended)
        EndDialog(&dialog, 0);
}

} // namespace platform
