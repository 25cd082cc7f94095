// ChoixRepertSauve drawn with Qt: a drive list, a folder list, OK and Annuler, forwarding every
// choice to the chooser's logic.
#pragma once

#include "adapt/directory_chooser.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QFileSystemModel;
class QListView;
class QStringListModel;

namespace quillon::gui {

class ChooserDialog : public QDialog {
  public:
    // The lists start at `start` (the user's home folder unless told).
    ChooserDialog(ChoixRepertSauve& chooser, QWidget* parent, const QString& start = {});

  private:
    void ShowFolder();

    ChoixRepertSauve& chooser_;
    QComboBox* drives_;
    QLabel* path_ = nullptr; // the folder shown
    QListView* folders_;
    QFileSystemModel* model_;      // folders of this machine
    QStringListModel* imageNames_; // folders inside a disk image, which the chooser lists
};

// The drives of Windows, or the mounted volumes elsewhere.
std::vector<std::string> AvailableDrives();

} // namespace quillon::gui
