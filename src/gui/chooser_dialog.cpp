#include "gui/chooser_dialog.h"

#include "gui/qt_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <QStringListModel>
#include <QVBoxLayout>

namespace quillon::gui {

std::vector<std::string> AvailableDrives() {
    std::vector<std::string> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid()) {
            drives.push_back(ToAnsi(QDir::toNativeSeparators(volume.rootPath())));
        }
    }
    std::sort(drives.begin(), drives.end());
    return drives;
}

ChooserDialog::ChooserDialog(ChoixRepertSauve& chooser, QWidget* parent, const QString& start)
    : QDialog(parent), chooser_(chooser), drives_(new QComboBox(this)),
      folders_(new QListView(this)), model_(new QFileSystemModel(this)),
      imageNames_(new QStringListModel(this)) {
    setObjectName("ChoixRepertSauve");
    setWindowTitle(FromAnsi(ChoixRepertSauve::Caption));
    setModal(true);
    drives_->setObjectName("DriveRepert2");
    folders_->setObjectName("DirRepert2");
    model_->setFilter(QDir::Dirs | QDir::NoDot | QDir::Drives);
    model_->setRootPath(QString());
    folders_->setModel(model_);
    for (const std::string& drive : chooser.Drives()) {
        drives_->addItem(FromAnsi(drive), FromAnsi(drive));
    }

    auto* ok = new QPushButton(FromAnsi(ChoixRepertSauve::OkCaption), this);
    ok->setObjectName("Repert2OK");
    ok->setDefault(true);
    auto* cancel = new QPushButton(FromAnsi(ChoixRepertSauve::CancelCaption), this);
    cancel->setObjectName("RepertAnnule");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    auto* path = new QLabel(this);
    path->setObjectName("lblFichier");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drives_);
    layout->addWidget(path);
    layout->addWidget(folders_, 1);
    layout->addWidget(buttons);
    resize(420, 360);

    connect(drives_, &QComboBox::activated, this, [this](int index) {
        chooser_.DriveRepert2_Change(ToAnsi(drives_->itemData(index).toString()));
        ShowFolder();
    });
    connect(folders_, &QListView::activated, this, [this](const QModelIndex& index) {
        if (folders_->model() == imageNames_) {
            chooser_.ImageFolderPicked(ToAnsi(index.data().toString()));
        } else {
            chooser_.ListedFolderPicked(
                ToAnsi(QDir::toNativeSeparators(QDir::cleanPath(model_->filePath(index)))));
        }
        ShowFolder();
    });
    path_ = path;
    connect(ok, &QPushButton::clicked, this, [this] {
        chooser_.Repert2OK_Click();
        done(Accepted);
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        chooser_.RepertAnnule_Click();
        done(Rejected);
    });

    chooser_.Start(ToAnsi(QDir::toNativeSeparators(start.isEmpty() ? QDir::homePath() : start)));
    ShowFolder();
}

void ChooserDialog::ShowFolder() {
    if (const std::optional<std::vector<std::string>> names = chooser_.ImageFolderNames()) {
        QStringList list;
        for (const std::string& name : *names) {
            list << FromAnsi(name);
        }
        imageNames_->setStringList(list);
        folders_->setModel(imageNames_);
    } else {
        folders_->setModel(model_);
        folders_->setRootIndex(model_->setRootPath(FromAnsi(chooser_.ListedFolder())));
    }
    path_->setText(FromAnsi(chooser_.Folder()));
    const int drive = drives_->findData(FromAnsi(chooser_.Drive()));
    if (drive >= 0) {
        drives_->setCurrentIndex(drive);
    }
}

} // namespace quillon::gui
