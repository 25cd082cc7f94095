#include "win32/chooser_dialog.h"

#include "win32/resource.h"

#include <algorithm>

namespace quillon::win32 {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('\\') ? folder + name : folder + "\\" + name;
}

// The folder above, or nothing at the root of a drive.
std::string Parent(const std::string& folder) {
    const auto cut = folder.find_last_of('\\', folder.size() - 2);
    if (folder.size() <= 3 || cut == std::string::npos) {
        return {};
    }
    return folder.substr(0, cut < 3 ? 3 : cut);
}

std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." &&
            name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

} // namespace

std::vector<std::string> AvailableDrives() {
    std::vector<std::string> drives;
    char buffer[256] = {};
    GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
    for (const char* drive = buffer; *drive != '\0'; drive += lstrlenA(drive) + 1) {
        drives.emplace_back(drive);
    }
    return drives;
}

ChooserDialog::ChooserDialog(ChoixRepertSauve& chooser, std::string start)
    : chooser_(chooser), start_(std::move(start)) {
    if (start_.empty()) {
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, folder);
        start_ = folder;
    }
}

void ChooserDialog::Run(HINSTANCE instance, HWND owner) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CHOIX), owner, Proc,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ChooserDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ChooserDialog*>(lParam);
        self->window_ = window;
        self->Init();
        return TRUE;
    }
    auto* self = reinterpret_cast<ChooserDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    return self == nullptr ? FALSE : self->Handle(message, wParam);
}

void ChooserDialog::Init() {
    SetWindowTextA(window_, ChoixRepertSauve::Caption);
    SetDlgItemTextA(window_, IDOK, ChoixRepertSauve::OkCaption);
    SetDlgItemTextA(window_, IDC_REPERTANNULE, ChoixRepertSauve::CancelCaption);
    SetDlgItemTextA(window_, IDC_LABEL1, "     ");
    for (const std::string& drive : chooser_.Drives()) {
        SendDlgItemMessageA(window_, IDC_DRIVEREPERT2, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(drive.c_str()));
    }
    chooser_.Start(start_);
    ShowFolder();
}

// The folder list shows the folder above (as "..") and the subfolders of the chooser's folder.
void ChooserDialog::ShowFolder() {
    const std::string& folder = chooser_.Folder();
    SetDlgItemTextA(window_, IDC_LBLFICHIER, folder.c_str());
    HWND list = GetDlgItem(window_, IDC_DIRREPERT2);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    listed_.clear();
    if (const std::string parent = Parent(folder); !parent.empty()) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(".."));
        listed_.push_back(parent);
    }
    for (const std::string& name : Subfolders(folder)) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        listed_.push_back(Join(folder, name));
    }
    SendDlgItemMessageA(window_, IDC_DRIVEREPERT2, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(chooser_.Drive().c_str()));
}

void ChooserDialog::OpenListedFolder() {
    const auto index = SendDlgItemMessageA(window_, IDC_DIRREPERT2, LB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<std::size_t>(index) < listed_.size()) {
        chooser_.DirRepert2_Change(listed_[static_cast<std::size_t>(index)]);
        ShowFolder();
    }
}

// Escape and the title bar close the window with R as it is; Annuler empties it.
INT_PTR ChooserDialog::Handle(UINT message, WPARAM wParam) {
    if (message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case IDC_DRIVEREPERT2:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const auto index = SendDlgItemMessageA(window_, IDC_DRIVEREPERT2, CB_GETCURSEL, 0, 0);
            if (index >= 0 && static_cast<std::size_t>(index) < chooser_.Drives().size()) {
                chooser_.DriveRepert2_Change(chooser_.Drives()[static_cast<std::size_t>(index)]);
            }
            ShowFolder();
        }
        return TRUE;
    case IDC_DIRREPERT2:
        if (HIWORD(wParam) == LBN_DBLCLK) {
            OpenListedFolder();
        }
        return TRUE;
    case IDOK:
        // Enter in the folder list opens the folder; elsewhere it is OK.
        if (GetFocus() == GetDlgItem(window_, IDC_DIRREPERT2) &&
            SendDlgItemMessageA(window_, IDC_DIRREPERT2, LB_GETCURSEL, 0, 0) >= 0) {
            OpenListedFolder();
            return TRUE;
        }
        chooser_.Repert2OK_Click();
        EndDialog(window_, IDOK);
        return TRUE;
    case IDC_REPERTANNULE:
        chooser_.RepertAnnule_Click();
        EndDialog(window_, IDCANCEL);
        return TRUE;
    case IDCANCEL: // closing by the title bar leaves R as it is
        EndDialog(window_, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace quillon::win32
