#include "win32/win32_ui.h"

#include "app/dialogue.h"
#include "win32/chooser_dialog.h"
#include "win32/resource.h"
#include "win32/screenshots.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
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

// A message box to take a picture of, then to answer, once it is on screen.
struct MessageShot {
    std::string Title;
    std::string Path;
    WPARAM Answer = IDOK;
};
MessageShot* pendingMessage = nullptr;

void CALLBACK ShootMessage(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box =
        pendingMessage != nullptr ? FindWindowA("#32770", pendingMessage->Title.c_str()) : nullptr;
    if (box == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    Settle();
    SavePicture(box, pendingMessage->Path);
    PostMessageA(box, WM_COMMAND, pendingMessage->Answer, 0);
}

} // namespace

Answer Win32Ui::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                           const std::string& title) {
    const UINT flags = IconFlags(icon) | (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK);
    MessageShot shot{title, captureFolder_ + "\\message-" + std::to_string(++captured_) + ".bmp",
                     static_cast<WPARAM>(buttons == MessageButtons::YesNo ? IDYES : IDOK)};
    if (!captureFolder_.empty()) {
        pendingMessage = &shot;
        SetTimer(nullptr, 0, 200, ShootMessage);
    }
    const int answer = MessageBoxA(window_, text.c_str(), title.c_str(), flags);
    pendingMessage = nullptr;
    if (buttons == MessageButtons::Ok) {
        return Answer::Ok;
    }
    return answer == IDYES ? Answer::Yes : Answer::No;
}

std::optional<std::string> Win32Ui::FileDialog(const FileDialogRequest& request) {
    if (!captureWork_.empty()) {
        return captureWork_ + "\\" + request.FileName + ".reg";
    }
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

namespace {

// The folder dialog opens on the folder given in its data.
int CALLBACK StartInFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder != 0) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    }
    return 0;
}

} // namespace

std::optional<std::string> Win32Ui::FolderDialog(const std::string& title,
                                                 const std::string& initialFolder) {
    if (!captureWork_.empty()) {
        // A new folder each time: the mail's copy, then the profile.
        return captureWork_ + "\\Dossier" + std::to_string(++foldersGiven_);
    }
    // The shell's folder dialog, with its "new folder" button, wants COM in this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOA info{};
    info.hwndOwner = window_;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = StartInFolder;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    std::optional<std::string> folder;
    if (LPITEMIDLIST chosen = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(chosen, path)) {
            folder = path;
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return folder;
}

INT_PTR CALLBACK Win32Ui::ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (ui != nullptr && message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ui->cancelled_ = true;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        return TRUE;
    }
    return FALSE;
}

bool Win32Ui::Progress(const std::string& title, std::uint64_t done, std::uint64_t total) {
    constexpr DWORD kShownAfter = 400; // milliseconds: a short work shows no window
    constexpr int kSteps = 1000;
    if (done >= total) {
        if (progress_ != nullptr) {
            EnableWindow(window_, TRUE);
            DestroyWindow(progress_);
        }
        progress_ = nullptr;
        progressRunning_ = false;
        cancelled_ = false;
        return false;
    }
    if (!progressRunning_) {
        progressRunning_ = true;
        progressStart_ = GetTickCount();
    }
    if (progress_ == nullptr && GetTickCount() - progressStart_ >= kShownAfter) {
        progress_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_PROGRESSION), window_,
                                       ProgressProc, reinterpret_cast<LPARAM>(this));
        if (progress_ != nullptr) {
            SetWindowTextA(progress_, title.c_str());
            SetDlgItemTextA(progress_, IDC_ETAPE, title.c_str());
            SendDlgItemMessageA(progress_, IDC_BARRE, PBM_SETRANGE32, 0, kSteps);
            EnableWindow(window_, FALSE); // modal: the window waits for the work
            ShowWindow(progress_, SW_SHOW);
        }
    }
    if (progress_ != nullptr) {
        SetDlgItemTextA(progress_, IDC_ETAPE, title.c_str()); // a reading's steps follow
        SendDlgItemMessageA(progress_, IDC_BARRE, PBM_SETPOS,
                            static_cast<WPARAM>(done * kSteps / total), 0);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (progress_ == nullptr || !IsDialogMessageA(progress_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return cancelled_;
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
