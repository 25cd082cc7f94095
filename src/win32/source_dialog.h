// SourceChooser drawn with Win32: a button per kind of source, the installations found in a
// list, what is read and what to do next, Ouvrir and Quitter; every choice goes to the model.
#pragma once

#include "app/source_chooser.h"
#include "app/ui_port.h"
#include "win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon::win32 {

class SourceDialog {
  public:
    // Asks for the folder or file of a source (the system's dialogs, through the Ui port); no
    // value when the user cancels.
    using PathAsker = std::function<std::optional<std::string>(const SourceChooser::PathRequest&)>;

    // Long readings show their steps through `ui`'s progress, with its Annuler.
    SourceDialog(SourceChooser& chooser, Ui& ui, PathAsker ask);

    // Shown modally over `owner`; true when the user chose a registry to open (Chosen()).
    bool Run(HINSTANCE instance, HWND owner);
    // Shown without waiting (for pictures and tests); the dialog, or nullptr.
    HWND Show(HINSTANCE instance, HWND owner);

  private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Init();
    void Choose(SourceChooser::Source source);
    void ShowRows();
    void ShowSelection();

    SourceChooser& chooser_;
    Ui& ui_;
    PathAsker ask_;
    HWND window_ = nullptr;
    bool drawing_ = false; // the list is being filled: its selection is the model's own
};

// Each step of a reading shown in `ui`'s progress window, whose Annuler stops the reading there;
// EndReading closes that window.
StepReport ReadingSteps(Ui& ui);
void EndReading(Ui& ui);

// The Ui's dialogs for a source: its folder dialog, or its file dialog with the filter asked.
SourceDialog::PathAsker AskThroughUi(Ui& ui);

// The roots of the drives that may be an old disk: fixed and removable drives, not the
// system's own.
std::vector<std::string> OtherDrives();

} // namespace quillon::win32
