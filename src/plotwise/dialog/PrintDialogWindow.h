#pragma once

// The print dialog's window: where the job goes (a print queue or "Save as
// PDF" with its file), the paper, the orientation and the copies.

#include "PrintDialogModule.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace plotwise {

class PrintDialogWindow : public QDialog {
    Q_OBJECT
public:
    PrintDialogWindow(const PlotwiseDialogRequest& request, QWidget* parent = nullptr);

    // The choices as they stand, for the library.
    void FillAnswer(PlotwiseDialogAnswer& answer) const;

    void accept() override;

private:
    void DestinationChanged();
    void Browse();
    int32_t ChosenQueue() const;

    QComboBox* destination_ = nullptr;
    QLineEdit* file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QComboBox* paper_ = nullptr;
    QButtonGroup* orientation_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QString offeredFile_;
    QString confirmedFile_; // the chooser asked before replacing it
    bool fileChosen_ = false;
    int32_t queueCount_ = 0;
};

} // namespace plotwise
