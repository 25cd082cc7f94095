// The Ui of the Windows window: MessageBoxA, the common file dialogs, the chooser, HtmlHelpA
// from hhctrl.ocx, the shell's browser.
#pragma once

#include "app/ui_port.h"
#include "win32/windows_api.h"

namespace quillon::win32 {

class Win32Ui : public Ui {
  public:
    explicit Win32Ui(HINSTANCE instance) : instance_(instance) {}
    // The window that owns the dialogs, once it exists.
    void SetWindow(HWND window) { window_ = window; }
    // For pictures of the window at work: each message box is saved as a picture into `folder`
    // (message-1.bmp ...) and answered "Oui"; file and folder dialogs answer with names in
    // `work`, unasked.
    void CaptureMessages(std::string folder, std::string work) {
        captureFolder_ = std::move(folder);
        captureWork_ = std::move(work);
    }

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
    HINSTANCE instance_;
    HWND window_ = nullptr;
    bool toldNoHelpViewer_ = false;
    // The progress of a long work: its window, once it has lasted long enough to show, and
    // whether its Cancel button was pressed.
    std::string captureFolder_, captureWork_;
    int captured_ = 0;
    int foldersGiven_ = 0;
    HWND progress_ = nullptr;
    DWORD progressStart_ = 0;
    bool progressRunning_ = false;
    bool cancelled_ = false;
    static INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace quillon::win32
