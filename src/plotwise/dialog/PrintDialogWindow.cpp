#include "PrintDialogWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QButtonGroup>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plotwise {
namespace {

constexpr int kMaximumCopies = 999;
constexpr int kPortrait = 0;
constexpr int kLandscape = 1;
// The "Save as PDF" entry carries this instead of a queue index.
constexpr int kFileEntry = -1;

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8 ? utf8 : "");
}

} // namespace

PrintDialogWindow::PrintDialogWindow(const PlotwiseDialogRequest& request, QWidget* parent)
    : QDialog(parent)
    , offeredFile_(Text(request.FilePath))
    , queueCount_(request.QueueCount)
{
    setWindowTitle(tr("Print"));
    setObjectName("plotwisePrintDialog");

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    destination_ = new QComboBox;
    destination_->setObjectName("destination");
    destination_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (int32_t i = 0; i < request.QueueCount; ++i) {
        QString name = Text(request.Queues[i]);
        if (i == request.DefaultQueue)
            name = tr("%1 (default)").arg(name);
        destination_->addItem(name, i);
    }
    if (request.QueueCount > 0)
        destination_->insertSeparator(destination_->count());
    destination_->addItem(tr("Save as PDF"), kFileEntry);
    const int selected = destination_->findData(request.Queue >= 0 && request.Queue < request.QueueCount ? request.Queue : kFileEntry);
    destination_->setCurrentIndex(selected);
    form->addRow(tr("&Printer:"), destination_);

    file_ = new QLineEdit(offeredFile_);
    file_->setObjectName("file");
    file_->setMinimumWidth(fontMetrics().averageCharWidth() * 44);
    browse_ = new QPushButton(tr("&Browse..."));
    browse_->setObjectName("browse");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse_);
    auto* fileLabel = new QLabel(tr("&File:"));
    fileLabel->setBuddy(file_);
    form->addRow(fileLabel, fileRow);

    paper_ = new QComboBox;
    paper_->setObjectName("paper");
    paper_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (int32_t i = 0; i < request.PaperCount; ++i)
        paper_->addItem(Text(request.Papers[i]));
    paper_->setCurrentIndex(request.Paper);
    form->addRow(tr("Paper si&ze:"), paper_);

    orientation_ = new QButtonGroup(this);
    auto* portrait = new QRadioButton(tr("P&ortrait"));
    portrait->setObjectName("portrait");
    auto* landscape = new QRadioButton(tr("&Landscape"));
    landscape->setObjectName("landscape");
    orientation_->addButton(portrait, kPortrait);
    orientation_->addButton(landscape, kLandscape);
    (request.Landscape ? landscape : portrait)->setChecked(true);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    orientationRow->addStretch(1);
    form->addRow(tr("Orientation:"), orientationRow);

    copies_ = new QSpinBox;
    copies_->setObjectName("copies");
    copies_->setRange(1, kMaximumCopies);
    copies_->setValue(std::clamp(request.Copies, 1, kMaximumCopies));
    form->addRow(tr("&Copies:"), copies_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* print = buttons->addButton(tr("Print"), QDialogButtonBox::AcceptRole);
    print->setObjectName("print");
    print->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(destination_, &QComboBox::currentIndexChanged, this, &PrintDialogWindow::DestinationChanged);
    connect(browse_, &QPushButton::clicked, this, &PrintDialogWindow::Browse);
    connect(file_, &QLineEdit::textEdited, this, [this] { fileChosen_ = true; });
    DestinationChanged();
    destination_->setFocus();
}

int32_t PrintDialogWindow::ChosenQueue() const
{
    const int32_t queue = destination_->currentData().toInt();
    return queue >= 0 && queue < queueCount_ ? queue : kFileEntry;
}

void PrintDialogWindow::DestinationChanged()
{
    const bool toFile = ChosenQueue() == kFileEntry;
    file_->setEnabled(toFile);
    browse_->setEnabled(toFile);
    // A file holds the document once; only a queue makes copies.
    copies_->setEnabled(!toFile);
}

void PrintDialogWindow::Browse()
{
    QString start = file_->text().trimmed();
    if (start.isEmpty())
        start = QDir::homePath();
    // The chooser asks before it replaces a file.
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save as PDF"), start, tr("PDF files (*.pdf)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    file_->setText(path);
    fileChosen_ = true;
    confirmedFile_ = path;
}

void PrintDialogWindow::accept()
{
    if (ChosenQueue() == kFileEntry && fileChosen_) {
        const QString path = file_->text().trimmed();
        if (path.isEmpty()) {
            QMessageBox::warning(this, tr("Print"), tr("Name the file to save the document in."));
            file_->setFocus();
            return;
        }
        const QFileInfo info(path);
        if (info.isDir()) {
            QMessageBox::warning(this, tr("Print"), tr("%1 is a folder. Name a file in it.").arg(path));
            file_->setFocus();
            return;
        }
        // A typed name of a file that is there replaces it only when the
        // user says so; the chooser has asked already.
        if (info.exists() && path != confirmedFile_) {
            const auto answer = QMessageBox::question(this, tr("Print"),
                tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
        }
    }
    QDialog::accept();
}

void PrintDialogWindow::FillAnswer(PlotwiseDialogAnswer& answer) const
{
    answer.Queue = ChosenQueue();
    const QString path = file_->text().trimmed();
    answer.FileChosen = fileChosen_ && path != offeredFile_ ? 1 : 0;
    const QByteArray bytes = path.toUtf8();
    answer.FilePath = static_cast<char*>(std::malloc(static_cast<size_t>(bytes.size()) + 1));
    if (answer.FilePath)
        std::memcpy(answer.FilePath, bytes.constData(), static_cast<size_t>(bytes.size()) + 1);
    answer.Paper = paper_->currentIndex();
    answer.Landscape = orientation_->checkedId() == kLandscape ? 1 : 0;
    answer.Copies = copies_->value();
}

} // namespace plotwise
