// ChoixRepertSauve drawn with Win32: a drive list and a folder list, OK and Annuler, forwarding
// every choice to the chooser's logic.
#pragma once

#include "adapt/directory_chooser.h"
#include "win32/windows_api.h"

#include <string>
#include <vector>

namespace quillon::win32 {

class ChooserDialog {
  public:
    // The lists start at `start`, the current folder unless told.
    ChooserDialog(ChoixRepertSauve& chooser, std::string start = {});

    // Shows the window modally over `owner` until it is closed.
    void Run(HINSTANCE instance, HWND owner);

  private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam);
    void Init();
    void ShowFolder();
    void OpenListedFolder();

    ChoixRepertSauve& chooser_;
    std::string start_;
    HWND window_ = nullptr;
    std::vector<std::string> listed_; // the folder list's paths, in its order
};

// The drives of this system, as "C:\".
std::vector<std::string> AvailableDrives();

} // namespace quillon::win32
