// The library's print dialog, shown by PLW_PrintDlg in a real Qt
// application on the offscreen platform, and driven as a user would.

#include "PlotwiseTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace plotwise_test;

namespace {

// A5 at the default 600 dots per inch.
constexpr int32_t kA5Width = 3496;

class PrintDialogTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        environment.Set("DISPLAY", ":tallowin-test");
        environment.Unset("WAYLAND_DISPLAY");
        environment.Unset("PLOTWISE_DIALOG_PRESS");
        // No print queue of the machine's own is offered.
        environment.Set("CUPS_SERVER", Path("no-cups-here"));
    }
};

TEST_F(PrintDialogTest, TheChoicesBecomeTheJobs)
{
    const std::string target = Path("chosen.pdf");
    PLW_Init(u"Letter");
    // The dialog, once it shows, is driven as a user would.
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        shown = true;
        auto* destination = dialog->findChild<QComboBox*>("destination");
        ASSERT_NE(destination, nullptr);
        EXPECT_EQ(destination->currentText(), "Save as PDF");
        // A file holds one copy: copies are a queue's.
        EXPECT_FALSE(dialog->findChild<QSpinBox*>("copies")->isEnabled());
        auto* file = dialog->findChild<QLineEdit*>("file");
        EXPECT_EQ(file->text().toStdString(), Path("Documents/Letter.pdf"));
        file->clear();
        QTest::keyClicks(file, QString::fromStdString(target));
        auto* paper = dialog->findChild<QComboBox*>("paper");
        EXPECT_EQ(paper->currentText(), "A4");
        paper->setCurrentText("A5");
        QTest::mouseClick(dialog->findChild<QRadioButton*>("landscape"), Qt::LeftButton);
        QPushButton* print = dialog->findChild<QPushButton*>("print");
        ASSERT_NE(print, nullptr);
        QTest::mouseClick(print, Qt::LeftButton);
    });
    PLW_PAGESETUP setup {};
    setup.lStructSize = sizeof setup;
    setup.Flags = PLW_PSD_DEFAULT_FLAGS;
    const int32_t result = PLW_PrintDlg(&setup);
    QApplication::processEvents();
    ASSERT_TRUE(shown);
    ASSERT_EQ(result, 1);
    HDC dc = PLW_GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    // A5 turned: its long side across.
    EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALHEIGHT), kA5Width);
    EXPECT_GT(PLW_GetDeviceCaps(dc, PHYSICALWIDTH), kA5Width);
    TextOut(dc, MakeLogFont(u"Liberation Sans", -50), 300, 300, u"Hello");
    PLW_EndPage(dc);
    PLW_StartPage(dc);
    PLW_EndDoc(dc);
    EXPECT_EQ(PLW_StatusCheck(), PLW_STATUS_PRINTED);
    PLW_DeleteDC(dc);
    PLW_UnInit();
    EXPECT_TRUE(std::filesystem::exists(target));
}

} // namespace

// The application is made before the tests and ends after them, as in a
// program with a window.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
