#include "win32/win32_ui.h"

#include "app/dialogue.h"
#include "win32/chooser_dialog.h"

#include <commdlg.h>
#include <shellapi.h>
#include <vector>

namespace quillon::win32 {
namespace {

UINT IconFlags(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return MB_ICONHAND;
    case MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::None:
        return 0;
    }
    return 0;
}

// "description|pattern|description|pattern" as the dialog wants it: zero-separated, two zeros
// at the end.
std::string FilterList(const std::string& filter) {
    std::string list = filter;
    for (char& c : list) {
        if (c == '|') {
            c = '\0';
        }
    }
    return list + std::string(2, '\0');
}

} // namespace

Answer Win32Ui::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                           const std::string& title) {
    const UINT flags = IconFlags(icon) | (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK);
    const int answer = MessageBoxA(window_, text.c_str(), title.c_str(), flags);
    if (buttons == MessageButtons::Ok) {
        return Answer::Ok;
    }
    return answer == IDYES ? Answer::Yes : Answer::No;
}

std::optional<std::string> Win32Ui::FileDialog(const FileDialogRequest& request) {
    std::vector<char> file(32768, '\0');
    request.FileName.copy(file.data(), file.size() - 1);
    const std::string filter = FilterList(request.Filter);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(request.FilterIndex);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir =
        request.InitialFolder.empty() ? nullptr : request.InitialFolder.c_str();
    dialog.lpstrTitle = request.Title.c_str();
    dialog.lpstrDefExt =
        request.DefaultExtension.empty() ? nullptr : request.DefaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (request.OverwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    const bool chosen = request.Kind == FileDialogRequest::Form::Save ? GetSaveFileNameA(&dialog)
                                                                      : GetOpenFileNameA(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return std::string(file.data());
}

// HtmlHelpA is looked up when first needed: a system without hhctrl.ocx gets a message once,
// and the program goes on.
bool Win32Ui::HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                       std::int32_t data) {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static const HMODULE library = LoadLibraryA("hhctrl.ocx");
    const auto htmlHelp = library == nullptr
                              ? nullptr
                              : reinterpret_cast<HtmlHelpFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
    if (htmlHelp == nullptr) {
        if (!toldNoHelpViewer_ && command != HelpCommand::CloseAll) {
            toldNoHelpViewer_ = true;
            MessageBox("L'aide ne peut pas \xEAtre affich\xE9"
                       "e : le visualiseur d'aide HTML "
                       "(hhctrl.ocx) est absent de ce syst\xE8me.",
                       MessageIcon::Exclamation, MessageButtons::Ok, Dialogue::ApplicationTitle);
        }
        return false;
    }
    HWND owner = ownedByWindow ? window_ : nullptr;
    return htmlHelp(owner, path.c_str(), command, static_cast<DWORD_PTR>(data)) != nullptr;
}

bool Win32Ui::OpenWebAddress(const std::string& address) {
    const auto result =
        ShellExecuteA(window_, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Ui::ShowDirectoryChooser(ChoixRepertSauve& chooser) {
    ChooserDialog(chooser).Run(instance_, window_);
}

// Repaints the window during a long command; the user's input waits.
void Win32Ui::KeepAlive() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

void Win32Ui::EndProgram() {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    } else {
        PostQuitMessage(0);
    }
}

} // namespace quillon::win32
