// The Ui of the Qt window: real message boxes, file dialogs, the chooser, help and the browser.
#pragma once

#include "app/ui_port.h"

#include <QString>
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
    // For pictures of the window at work: each message box is saved as a picture into `folder`
    // (message-1.png ...) and answered "Oui"; file and folder dialogs answer with names in
    // `work`, unasked.
    void CaptureMessages(const QString& folder, const QString& work);

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
    QString captureFolder_, captureWork_;
    int captured_ = 0;
    int foldersGiven_ = 0;
};

} // namespace quillon::gui
