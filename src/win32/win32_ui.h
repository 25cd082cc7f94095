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

    Answer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                      const std::string& title) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
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
};

} // namespace quillon::win32
