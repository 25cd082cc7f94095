#include "win32/source_dialog.h"

#include "text/native_text.h"
#include "win32/resource.h"

#include <cctype>
#include <commctrl.h>

namespace quillon::win32 {
namespace {

constexpr int kColumnWidth = 118; // pixels; the last column takes the rest

void SetText(HWND window, int control, const std::string& utf8) {
    SetDlgItemTextA(window, control, Ansi(utf8).c_str());
}

int ButtonOf(std::size_t sourceIndex) {
    return IDC_PREMIERE_SOURCE + static_cast<int>(sourceIndex);
}

} // namespace

SourceDialog::SourceDialog(SourceChooser& chooser, Ui& ui, PathAsker ask)
    : chooser_(chooser), ui_(ui), ask_(std::move(ask)) {}

bool SourceDialog::Run(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SOURCE), owner, Proc,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

HWND SourceDialog::Show(HINSTANCE instance, HWND owner) {
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SOURCE), owner, Proc,
                                     reinterpret_cast<LPARAM>(this));
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

INT_PTR CALLBACK SourceDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<SourceDialog*>(lParam);
        self->window_ = window;
        self->Init();
        return TRUE;
    }
    auto* self = reinterpret_cast<SourceDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    return self == nullptr ? FALSE : self->Handle(message, wParam, lParam);
}

void SourceDialog::Init() {
    SetWindowTextA(window_, Ansi(SourceChooser::Caption).c_str());
    SetText(window_, IDC_INVITE, SourceChooser::Prompt);
    SetText(window_, IDOK, SourceChooser::OpenCaption);
    SetText(window_, IDCANCEL, SourceChooser::QuitCaption);
    HWND tooltips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                    0, window_, nullptr, nullptr, nullptr);
    SendMessageA(tooltips, TTM_SETMAXTIPWIDTH, 0, 400);
    for (std::size_t i = 0; i < std::size(SourceChooser::kSources); ++i) {
        const SourceChooser::Source source = SourceChooser::kSources[i];
        SetText(window_, ButtonOf(i), SourceChooser::SourceCaption(source));
        std::string tip = Ansi(SourceChooser::SourceTooltip(source));
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, ButtonOf(i)));
        tool.lpszText = tip.data();
        SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    HWND list = GetDlgItem(window_, IDC_INSTALLATIONS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    int column = 0;
    for (const std::string& title : SourceChooser::Columns()) {
        std::string text = Ansi(title);
        LVCOLUMNA entry{};
        entry.mask = LVCF_TEXT | LVCF_WIDTH;
        entry.cx = kColumnWidth;
        entry.pszText = text.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++),
                     reinterpret_cast<LPARAM>(&entry));
    }
    ShowRows();
}

void SourceDialog::Choose(SourceChooser::Source source) {
    const std::optional<std::string> path = ask_(SourceChooser::RequestFor(source));
    if (!path) {
        return;
    }
    chooser_.Read(source, *path, ReadingSteps(ui_));
    EndReading(ui_);
    ShowRows();
}

void SourceDialog::ShowRows() {
    drawing_ = true;
    SetText(window_, IDC_LECTURE, chooser_.Reading());
    HWND list = GetDlgItem(window_, IDC_INSTALLATIONS);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < chooser_.RowCount(); ++row) {
        const std::vector<std::string> cells = chooser_.Cells(row);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            std::string text = Ansi(cells[column]);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = static_cast<int>(column);
            item.pszText = text.data();
            SendMessageA(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    if (chooser_.Selected() >= 0) {
        ListView_SetItemState(list, chooser_.Selected(), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    drawing_ = false;
    ShowSelection();
}

void SourceDialog::ShowSelection() {
    SetText(window_, IDC_ETAT, chooser_.Status());
    EnableWindow(GetDlgItem(window_, IDOK), chooser_.OpenEnabled() ? TRUE : FALSE);
}

INT_PTR SourceDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_INSTALLATIONS || drawing_) {
            return FALSE;
        }
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uNewState & LVIS_SELECTED) != 0) {
                chooser_.Select(change->iItem);
                ShowSelection();
            }
        } else if (header->code == NM_DBLCLK && chooser_.OpenEnabled()) {
            EndDialog(window_, IDOK);
        }
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    const int control = LOWORD(wParam);
    for (std::size_t i = 0; i < std::size(SourceChooser::kSources); ++i) {
        if (control == ButtonOf(i)) {
            Choose(SourceChooser::kSources[i]);
            return TRUE;
        }
    }
    if (control == IDOK && chooser_.OpenEnabled()) {
        EndDialog(window_, IDOK);
        return TRUE;
    }
    if (control == IDCANCEL) {
        EndDialog(window_, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

StepReport ReadingSteps(Ui& ui) {
    return [&ui](const std::string& step) {
        return ui.Progress(Ansi(std::string(SourceChooser::ReadingCaption) + " : " + step), 0, 1);
    };
}

void EndReading(Ui& ui) {
    ui.Progress(Ansi(SourceChooser::ReadingCaption), 1, 1);
}

SourceDialog::PathAsker AskThroughUi(Ui& ui) {
    return [&ui](const SourceChooser::PathRequest& request) -> std::optional<std::string> {
        if (request.Kind == SourceChooser::PathRequest::Form::Folder) {
            return ui.FolderDialog(Ansi(request.Title), "");
        }
        FileDialogRequest file;
        file.Kind = FileDialogRequest::Form::Open;
        file.Title = Ansi(request.Title);
        file.Filter = Ansi(request.Filter);
        return ui.FileDialog(file);
    };
}

std::vector<std::string> OtherDrives() {
    char system[MAX_PATH] = {};
    GetWindowsDirectoryA(system, MAX_PATH);
    const auto letter = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
    // A drive with no disk in it (a card reader) says so without a system message box.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    std::vector<std::string> drives;
    char buffer[256] = {};
    GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
    for (const char* drive = buffer; *drive != '\0'; drive += lstrlenA(drive) + 1) {
        const UINT type = GetDriveTypeA(drive);
        if ((type == DRIVE_FIXED || type == DRIVE_REMOVABLE) &&
            letter(drive[0]) != letter(system[0])) {
            drives.emplace_back(drive);
        }
    }
    SetErrorMode(errorMode);
    return drives;
}

} // namespace quillon::win32
