// The option dialogs as a person sees them: the templates shown by the Qt
// window system's dialog host on the offscreen platform, clicked and typed
// into with QTest, the program's own procedures behind them.

#include "OptionDialogs.h"

#include "DialogResourceIds.h"
#include "DialogTest.h"
#include "PlainTextDialog.h"
#include "QtDialogHost.h"

#include "OffscreenApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libQt6\nleak:libdbus\nleak:libglib\n";
}

namespace {

using namespace platform;

template <typename Widget> Widget* Control(QDialog* dialog, int id)
{
    return dialog->findChild<Widget*>(QStringLiteral("Control%1").arg(id));
}

// A click on the box of a check box or radio button, where a person clicks.
void ClickBox(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class OptionDialogsQtTest : public dialogtest::DialogTest {
protected:
    static void SetUpTestSuite() { platform::testing::StartOffscreenApplication(); }
    void SetUp() override
    {
        DialogTest::SetUp();
        SetDialogHost(&host_);
    }

    // Shows the dialog; `play` acts on it once it is on the screen, and the
    // dialog ends with `result`.
    void Show(unsigned templateId, DialogProc procedure, std::intptr_t result, std::function<void(QDialog*)> play)
    {
        bool played = false;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            played = shown != nullptr;
            if (shown == nullptr)
                return;
            play(shown);
            // A dialog the script left open is closed for the next case.
            if (shown->isVisible() && QApplication::activeModalWidget() == shown)
                shown->done(0);
        });
        EXPECT_EQ(DialogBoxParamW(ProgramModule(), templateId, nullptr, procedure, 0), result);
        EXPECT_TRUE(played);
    }

    QtDialogHost host_;
};

TEST_F(OptionDialogsQtTest, ResizeCancelKeepsTheClickedScale)
{
    Show(kResizeDialog, shell::ResizeDialogProc, kCancelCommand, [](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Resize Option..."));
        ASSERT_TRUE(Control<QRadioButton>(dialog, core::kResizeChoice100)->isChecked());
        ClickBox(Control<QRadioButton>(dialog, core::kResizeChoice50));
        EXPECT_FALSE(Control<QRadioButton>(dialog, core::kResizeChoice100)->isChecked());
        // No push buttons of its own: an OK stands for the caption's.
        EXPECT_NE(dialog->findChild<QPushButton*>(QStringLiteral("CaptionOk")), nullptr);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(core::Settings().ResizeChoice, core::kResizeChoice50); // and saved, as the headless case reads
}

TEST_F(OptionDialogsQtTest, MailFontsApplyWhatWasChosen)
{
    Show(kMailFontDialog, shell::MailFontDialogProc, kOkCommand, [](QDialog* dialog) {
        auto* faces = Control<QListWidget>(dialog, kMailHeaderFaceList);
        ASSERT_EQ(faces->count(), 4);
        EXPECT_EQ(faces->currentItem()->text(), QStringLiteral("Tahoma"));
        faces->setCurrentRow(2); // Symbol, the lists being sorted
        ClickBox(Control<QCheckBox>(dialog, kMailBodyBoldCheck));
        ClickBox(Control<QRadioButton>(dialog, kMailOrderLastRadio));
        auto* size = Control<QComboBox>(dialog, kMailBodySizeCombo);
        EXPECT_EQ(size->currentText(), QStringLiteral("9"));
        size->setCurrentIndex(8);
        emit size->activated(8);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CaptionOk")), Qt::LeftButton);
    });
    const core::AppSettings& settings = core::Settings();
    EXPECT_EQ(std::u16string(settings.MailHeaderFontFace), u"Symbol");
    EXPECT_EQ(settings.MailHeaderCharset, 2);
    EXPECT_EQ(settings.MailBodyBold, 1);
    EXPECT_EQ(settings.MailHeaderOrder, 2);
    EXPECT_EQ(settings.MailBodyFontSize, 12);
}

TEST_F(OptionDialogsQtTest, PlainTextCancelMarksTheJobCancelled)
{
    shell::PlainTextDialogResult() = 0;
    Show(kPlainTextDialog, shell::PlainTextDialogProc, kCancelCommand, [](QDialog* dialog) {
        EXPECT_EQ(Control<QComboBox>(dialog, kPlainTextTabCombo)->currentText(), QStringLiteral("4 Characters"));
        EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("CaptionOk")), nullptr);
        QTest::mouseClick(Control<QPushButton>(dialog, kCancelCommand), Qt::LeftButton);
    });
    EXPECT_EQ(printengine::Job().FinalStatus, 1);
    EXPECT_EQ(shell::PlainTextDialogResult(), 0);
}

TEST_F(OptionDialogsQtTest, StartupScreenClearedStaysAway)
{
    Show(kStartupScreenDialog, shell::StartupDialogProc, kOkCommand, [](QDialog* dialog) {
        EXPECT_FALSE(Control<QLabel>(dialog, kStartupDocumentsBitmap)->pixmap().isNull());
        auto* show = Control<QCheckBox>(dialog, kStartupShowCheck);
        ASSERT_TRUE(show->isChecked());
        ClickBox(show);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    EXPECT_FALSE(core::Settings().ShowStartupScreen); // and saved, as the headless case reads
}

} // namespace
