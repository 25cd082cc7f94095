#include "gui/source_dialog.h"

#include "gui/qt_text.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace quillon::gui {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Every source button is named after its kind, for the tests.
const char* const kSourceNames[] = {"dossierWindows", "imageDisque", "prefixeWine",
                                    "fichierRegistre"};

} // namespace

QString AskWithSystemDialog(QWidget* parent, const SourceChooser::PathRequest& request) {
    if (request.Kind == SourceChooser::PathRequest::Form::Folder) {
        return QFileDialog::getExistingDirectory(parent, Text(request.Title), QDir::homePath());
    }
    return QFileDialog::getOpenFileName(parent, Text(request.Title), QDir::homePath(),
                                        NameFilters(Text(request.Filter)).join(";;"));
}

SourceDialog::SourceDialog(SourceChooser& chooser, PathAsker ask, QWidget* parent)
    : QDialog(parent), chooser_(chooser), ask_(std::move(ask)), reading_(new QLabel(this)),
      rows_(new QTableWidget(this)), status_(new QLabel(this)),
      open_(new QPushButton(Text(SourceChooser::OpenCaption), this)) {
    setObjectName("ChoixRegistre");
    setWindowTitle(Text(SourceChooser::Caption));
    auto* prompt = new QLabel(Text(SourceChooser::Prompt), this);
    prompt->setWordWrap(true);

    auto* sources = new QHBoxLayout;
    for (const SourceChooser::Source source : SourceChooser::kSources) {
        auto* button = new QPushButton(Text(SourceChooser::SourceCaption(source)), this);
        button->setObjectName(kSourceNames[static_cast<int>(source)]);
        button->setToolTip(Text(SourceChooser::SourceTooltip(source)));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, source] { Choose(source); });
        sources->addWidget(button);
    }

    reading_->setObjectName("lecture");
    reading_->setWordWrap(true);
    rows_->setObjectName("installations");
    QStringList columns;
    for (const std::string& column : SourceChooser::Columns()) {
        columns << Text(column);
    }
    rows_->setColumnCount(static_cast<int>(columns.size()));
    rows_->setHorizontalHeaderLabels(columns);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->verticalHeader()->hide();
    rows_->setWordWrap(false);
    rows_->horizontalHeader()->setStretchLastSection(true);
    status_->setObjectName("etat");
    status_->setWordWrap(true);

    open_->setObjectName("ouvrir");
    open_->setDefault(true);
    auto* quit = new QPushButton(Text(SourceChooser::QuitCaption), this);
    quit->setObjectName("quitter");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(open_, QDialogButtonBox::AcceptRole);
    buttons->addButton(quit, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(sources);
    layout->addWidget(reading_);
    layout->addWidget(rows_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(960, 420);

    connect(rows_, &QTableWidget::itemSelectionChanged, this, [this] {
        chooser_.Select(rows_->currentRow());
        ShowSelection();
    });
    connect(rows_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (chooser_.OpenEnabled()) {
            accept();
        }
    });
    connect(open_, &QPushButton::clicked, this, &QDialog::accept);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    ShowRows();
}

void SourceDialog::Choose(SourceChooser::Source source) {
    const QString path = ask_(this, SourceChooser::RequestFor(source));
    if (path.isEmpty()) {
        return;
    }
    ReadWithProgress(source, path.toStdString()); // the paths of the options are UTF-8
    ShowRows();
}

// A disk image may take long to search: it is read on another thread while this one shows each
// step and keeps the windows drawn, and "Annuler" stops it at the next step.
void SourceDialog::ReadWithProgress(SourceChooser::Source source, const std::string& path) {
    QProgressDialog progress(this);
    progress.setWindowTitle(Text(SourceChooser::ReadingCaption));
    progress.setCancelButtonText(Text(SourceChooser::StopCaption));
    progress.setRange(0, 0);
    progress.setWindowModality(Qt::WindowModal);

    progress.reset(); // hidden, and shown below only if the reading lasts
    std::atomic<bool> stop = false;
    std::atomic<bool> done = false;
    std::mutex stepLock;
    std::string step;
    std::thread reader([&] {
        chooser_.Read(source, path, [&](const std::string& now) {
            const std::lock_guard<std::mutex> hold(stepLock);
            step = now;
            return stop.load();
        });
        done = true;
    });
    QElapsedTimer elapsed;
    elapsed.start();
    bool shown = false;
    while (!done) {
        if (!shown && elapsed.elapsed() > kProgressDelayMs) {
            progress.show();
            shown = true;
        }
        QApplication::processEvents(QEventLoop::AllEvents, kRedrawMs);
        stop = shown && progress.wasCanceled();
        const std::lock_guard<std::mutex> hold(stepLock);
        progress.setLabelText(Text(step));
        std::this_thread::sleep_for(std::chrono::milliseconds(kRedrawMs));
    }
    reader.join();
}

void SourceDialog::ShowRows() {
    const QSignalBlocker quiet(rows_); // the model's selection is drawn, not chosen again
    reading_->setText(Text(chooser_.Reading()));
    reading_->setVisible(!chooser_.Reading().empty());
    rows_->setRowCount(chooser_.RowCount());
    for (int row = 0; row < chooser_.RowCount(); ++row) {
        const std::vector<std::string> cells = chooser_.Cells(row);
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            auto* item = new QTableWidgetItem(Text(cells[column]));
            item->setToolTip(item->text()); // a long path is cut in its column
            if (!chooser_.CanOpen(row)) {
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            }
            rows_->setItem(row, column, item);
        }
    }
    rows_->resizeColumnsToContents();
    for (int column = 0; column < rows_->columnCount(); ++column) {
        rows_->setColumnWidth(column, std::min(rows_->columnWidth(column), 200));
    }
    if (chooser_.Selected() >= 0) {
        rows_->selectRow(chooser_.Selected());
    } else {
        rows_->clearSelection();
    }
    ShowSelection();
}

void SourceDialog::ShowSelection() {
    status_->setText(Text(chooser_.Status()));
    open_->setEnabled(chooser_.OpenEnabled());
}

} // namespace quillon::gui
