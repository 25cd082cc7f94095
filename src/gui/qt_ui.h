// The Ui of the Qt window: real message boxes, file dialogs, the chooser, help and the browser.
#pragma once

#include "app/ui_port.h"

#include <memory>

class QApplication;
class QProgressDialog;
class QWidget;

namespace quillon::gui {

// Qt's own French texts for the standard buttons ("Oui", "Non", "Annuler"), from Debian's
// qt6-translations-l10n. False when they cannot be found.
bool LoadFrenchTranslations(QApplication& app);

class QtUi : public Ui {
  public:
    QtUi();
    ~QtUi() override;
    // The window that owns the dialogs, once it is shown.
    void SetWindow(QWidget* window) { window_ = window; }

    Answer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                      const std::string& title) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> FolderDialog(const std::string& title,
                                            const std::string& initialFolder) override;
    bool Progress(const std::string& title, std::uint64_t done, std::uint64_t total) override;
    bool HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                  std::int32_t data) override;
    bool OpenWebAddress(const std::string& address) override;
    void ShowDirectoryChooser(ChoixRepertSauve& chooser) override;
    void KeepAlive() override;
    void EndProgram() override;

  private:
    QWidget* window_ = nullptr;
    std::unique_ptr<QProgressDialog> progress_; // while a long work runs
};

} // namespace quillon::gui
