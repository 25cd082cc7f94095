#include "win32/main_window.h"

#include "win32/resource.h"

#include <commctrl.h>
#include <stdexcept>
#include <vector>

namespace quillon::win32 {
namespace {

// Posted when a text box lost the focus to another control of the window.
constexpr UINT kFieldLeft = WM_APP + 1;
constexpr char kOwnerProperty[] = "Quillon.MainWindow";

std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

MainWindow* Owner(HWND window) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

bool HasStyle(HWND window, LONG style) {
    return (GetWindowLongA(window, GWL_STYLE) & style) != 0;
}

} // namespace

MainWindow::MainWindow(Dialogue& dialogue, HINSTANCE instance) : dialogue_(dialogue) {
    CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_DIALOGUE), nullptr, MainProc,
                       reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) {
        throw std::runtime_error("la fen\xEAtre n'a pas pu \xEAtre cr\xE9\xE9"
                                 "e (erreur " +
                                 std::to_string(GetLastError()) + ")");
    }
    SetWindowTextA(window_, Dialogue::Caption.c_str());
    for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
        const int pixels = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        SendMessageA(window_, WM_SETICON, size,
                     reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUILLON),
                                                         IMAGE_ICON, pixels, pixels, 0)));
    }
    toolTips_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    SendMessageA(toolTips_, TTM_SETMAXTIPWIDTH, 0, 480);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    font.lfUnderline = TRUE;
    linkFont_ = CreateFontIndirectA(&font);

    Bind(window_);
    for (int tab = 0; tab < 3; ++tab) {
        pages_[tab] = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_ONGLET1 + tab), window_,
                                         PageProc, reinterpret_cast<LPARAM>(this));
        Bind(pages_[tab]);
    }
    PlacePages();
    for (quillon::Control* control : dialogue_.Controls()) {
        Refresh(*control);
    }
    dialogue_.Subscribe([this](const quillon::Control& control) { Refresh(control); });
}

MainWindow::~MainWindow() {
    if (IsWindow(window_)) {
        quitWhenDestroyed_ = false; // the program goes on without this window
        DestroyWindow(window_);
    }
    DeleteObject(linkFont_);
}

HWND MainWindow::Control(const std::string& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

HWND MainWindow::Legend(const std::string& name) const {
    const auto it = legends_.find(name);
    return it == legends_.end() ? nullptr : it->second;
}

// Binds the direct children of a window to the model's controls by their template text.
void MainWindow::Bind(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        BindControl(child);
    }
}

void MainWindow::BindControl(HWND window) {
    const std::string text = TextOf(window);
    if (text.starts_with("@")) {
        if (const quillon::Control* box = dialogue_.Find(text.substr(1))) {
            legends_[box->Name()] = window;
            SetWindowTextA(window, box->Caption().c_str());
        }
        return;
    }
    quillon::Control* control = dialogue_.Find(text);
    if (control == nullptr) {
        return;
    }
    controls_[control->Name()] = window;
    byId_[GetDlgCtrlID(window)] = control;
    switch (control->ControlKind()) {
    case quillon::Control::Kind::TextBox:
        // Setting an edit's text sends EN_CHANGE, which would copy it into the model: the edit
        // is given the model's text, as a refresh gives it.
        refreshing_ = true;
        SetWindowTextA(window, static_cast<const TextBox*>(control)->Text().c_str());
        refreshing_ = false;
        WatchFolderField(window);
        break;
    case quillon::Control::Kind::TabStrip: {
        const auto& tabs = static_cast<const TabStrip*>(control)->Tabs();
        for (std::size_t index = 0; index < tabs.size(); ++index) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(tabs[index].Caption.c_str());
            SendMessageA(window, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
        }
        SetWindowTextA(window, "");
        break;
    }
    default:
        SetWindowTextA(window, control->Caption().c_str());
        break;
    }
    if (IsLink(window)) {
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
    }
    AddToolTip(window, control->ToolTip());
}

void MainWindow::AddToolTip(HWND control, const std::string& text) {
    if (text.empty()) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE; // the size every version of the common controls takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The pages lie in the tab control's display area, next after it in the tab order.
void MainWindow::PlacePages() {
    HWND tabs = Control("Onglets");
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND after = tabs;
    for (HWND page : pages_) {
        SetWindowPos(page, after, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
        after = page;
    }
}

// A text box tells the model when the focus leaves it for another control of this window; not
// when another application, a menu or a message box takes the focus.
void MainWindow::WatchFolderField(HWND field) {
    SetPropA(field, kOwnerProperty, this);
    folderFields_[field] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderFieldProc)));
}

LRESULT CALLBACK MainWindow::FolderFieldProc(HWND field, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = static_cast<MainWindow*>(GetPropA(field, kOwnerProperty));
    const WNDPROC original = self->folderFields_.at(field);
    if (message == WM_KILLFOCUS) {
        const auto next = reinterpret_cast<HWND>(wParam);
        if (next != nullptr && IsChild(self->window_, next)) {
            PostMessageA(self->window_, kFieldLeft, 0, reinterpret_cast<LPARAM>(field));
        }
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(field, kOwnerProperty);
        self->folderFields_.erase(field);
    }
    return CallWindowProcA(original, field, message, wParam, lParam);
}

void MainWindow::Refresh(const quillon::Control& control) {
    HWND window = Control(control.Name());
    if (window == nullptr) {
        return;
    }
    refreshing_ = true;
    EnableWindow(window, control.Enabled());
    if (const HWND page = PageOf(window)) {
        ShowWindow(page, control.Visible() ? SW_SHOWNA : SW_HIDE);
    } else if (HasStyle(window, WS_VISIBLE) != control.Visible()) {
        ShowWindow(window, control.Visible() ? SW_SHOWNA : SW_HIDE);
    }
    switch (control.ControlKind()) {
    case quillon::Control::Kind::Button: {
        const bool isDefault = static_cast<const Button&>(control).IsDefault();
        SendMessageA(window, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        const LRESULT current = SendMessageA(window_, DM_GETDEFID, 0, 0);
        const int id = GetDlgCtrlID(window);
        if (isDefault) {
            SendMessageA(window_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
        } else if (HIWORD(current) == DC_HASDEFID && LOWORD(current) == id) {
            SendMessageA(window_, DM_SETDEFID, IDOK, 0);
        }
        break;
    }
    case quillon::Control::Kind::CheckBox:
        SendMessageA(
            window, BM_SETCHECK,
            static_cast<const CheckBox&>(control).Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case quillon::Control::Kind::TextBox: {
        const std::string& text = static_cast<const TextBox&>(control).Text();
        if (TextOf(window) != text) {
            SetWindowTextA(window, text.c_str());
        }
        break;
    }
    case quillon::Control::Kind::TabStrip:
        SendMessageA(window, TCM_SETCURSEL,
                     static_cast<WPARAM>(static_cast<const TabStrip&>(control).SelectedIndex() - 1),
                     0);
        break;
    default:
        break;
    }
    refreshing_ = false;
}

// A click, a tick or typing in a control, forwarded to the model. Escape (IDCANCEL) and Enter
// with no default button (IDOK) name no control and do nothing.
void MainWindow::Command(int id, int code) {
    const auto found = byId_.find(id);
    if (found == byId_.end()) {
        return;
    }
    quillon::Control& control = *found->second;
    switch (control.ControlKind()) {
    case quillon::Control::Kind::Button:
        if (code == BN_CLICKED) {
            dialogue_.Click(control.Name());
        }
        break;
    case quillon::Control::Kind::CheckBox:
        if (code == BN_CLICKED) {
            auto& box = static_cast<CheckBox&>(control);
            box.SetValue(box.Value() == 1 ? 0 : 1);
        }
        break;
    case quillon::Control::Kind::Label:
        if (code == STN_CLICKED) {
            dialogue_.Click(control.Name());
        }
        break;
    case quillon::Control::Kind::TextBox:
        if (code == EN_CHANGE && !refreshing_) {
            static_cast<TextBox&>(control).SetText(TextOf(Control(control.Name())));
        }
        break;
    default:
        break;
    }
}

void MainWindow::TabChanged() {
    const auto index = SendMessageA(Control("Onglets"), TCM_GETCURSEL, 0, 0);
    dialogue_.Onglets.Select(static_cast<int>(index) + 1);
    dialogue_.Onglets_Click();
}

void MainWindow::NextTab(int step) {
    const int count = static_cast<int>(dialogue_.Onglets.Tabs().size());
    const int index = (dialogue_.Onglets.SelectedIndex() - 1 + step + count) % count;
    dialogue_.Onglets.Select(index + 1);
    dialogue_.Onglets_Click();
}

// The page whose tab frame this window draws (its first control), or none.
HWND MainWindow::PageOf(HWND frame) const {
    for (HWND page : pages_) {
        if (page != nullptr && GetWindow(page, GW_CHILD) == frame) {
            return page;
        }
    }
    return nullptr;
}

bool MainWindow::IsLink(HWND control) const {
    const auto found = byId_.find(GetDlgCtrlID(control));
    return found != byId_.end() && found->second->ControlKind() == quillon::Control::Kind::Label &&
           dialogue_.Clickable(found->second->Name());
}

INT_PTR MainWindow::LinkColour(HDC dc, HWND control) {
    if (!IsLink(control)) {
        return FALSE;
    }
    SetTextColor(dc, RGB(0, 0, 0xCC)); // the blue of links
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

bool MainWindow::PreTranslate(MSG& message) {
    if (message.message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
        (message.wParam == VK_TAB || message.wParam == VK_NEXT || message.wParam == VK_PRIOR) &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
        const bool back = message.wParam == VK_PRIOR ||
                          (message.wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        NextTab(back ? -1 : 1);
        return true;
    }
    return IsDialogMessageA(window_, &message) != FALSE;
}

INT_PTR CALLBACK MainWindow::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<MainWindow*>(lParam)->window_ = window;
        return FALSE;
    }
    MainWindow* self = Owner(window);
    return self == nullptr ? FALSE : self->Handle(window, message, wParam, lParam);
}

INT_PTR CALLBACK MainWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;
    }
    MainWindow* self = Owner(window);
    return self == nullptr ? FALSE : self->Handle(window, message, wParam, lParam);
}

INT_PTR MainWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        HWND tabs = Control("Onglets");
        if (header->hwndFrom == tabs && header->code == TCN_SELCHANGE) {
            TabChanged();
            return TRUE;
        }
        // The tooltips of the tabs, asked by the tab control's own tooltip window.
        if (header->hwndFrom == reinterpret_cast<HWND>(SendMessageA(tabs, TCM_GETTOOLTIPS, 0, 0)) &&
            header->idFrom < dialogue_.Onglets.Tabs().size()) {
            const std::string& tip = dialogue_.Onglets.Tabs()[header->idFrom].ToolTip;
            if (header->code == TTN_GETDISPINFOA) {
                reinterpret_cast<NMTTDISPINFOA*>(lParam)->lpszText = const_cast<char*>(tip.c_str());
                return TRUE;
            }
            if (header->code == TTN_GETDISPINFOW) {
                static wchar_t wide[256];
                MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, wide, 256);
                reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = wide;
                return TRUE;
            }
        }
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        return LinkColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (IsLink(reinterpret_cast<HWND>(wParam))) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))); // IDC_HAND
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case kFieldLeft:
        for (const auto& [name, field] : controls_) {
            if (field == reinterpret_cast<HWND>(lParam)) {
                dialogue_.LostFocus(name);
                break;
            }
        }
        return TRUE;
    case WM_CLOSE:
        if (window == window_) {
            DestroyWindow(window_); // the title bar: the program ends, help windows stay
        }
        return TRUE;
    case WM_DESTROY:
        if (window == window_ && quitWhenDestroyed_) {
            PostQuitMessage(0);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace quillon::win32
