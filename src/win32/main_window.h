// The main window Dialogue drawn with plain Win32 controls from the resource script. It holds no
// logic: it shows the model's controls, forwards the user's clicks, ticks and typing to it, and
// redraws what the model changes.
#pragma once

#include "app/dialogue.h"
#include "win32/windows_api.h"

#include <map>
#include <string>

namespace quillon::win32 {

class MainWindow {
  public:
    MainWindow(Dialogue& dialogue, HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    HWND Handle() const { return window_; }
    // The window drawn for the model's control of that name; for a tab frame, its group box.
    HWND Control(const std::string& name) const;
    // The page (child dialog) that holds a tab frame.
    HWND Page(int tab) const { return pages_[tab - 1]; }
    // The legend drawn beside a text box.
    HWND Legend(const std::string& name) const;
    HWND ToolTips() const { return toolTips_; }
    // Keyboard handling of the message loop: dialog navigation and Ctrl+Tab between tabs.
    bool PreTranslate(MSG& message);

  private:
    static INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FolderFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void Bind(HWND parent);
    void BindControl(HWND control);
    void PlacePages();
    void AddToolTip(HWND control, const std::string& text);
    void WatchFolderField(HWND field);
    void Refresh(const quillon::Control& control);
    void Command(int id, int code);
    void TabChanged();
    void NextTab(int step);
    INT_PTR LinkColour(HDC dc, HWND control);
    bool IsLink(HWND control) const;
    HWND PageOf(HWND frame) const;

    Dialogue& dialogue_;
    HWND window_ = nullptr;
    HWND pages_[3] = {};
    HWND toolTips_ = nullptr;
    HFONT linkFont_ = nullptr;
    bool refreshing_ = false;
    bool quitWhenDestroyed_ = true;
    std::map<std::string, HWND> controls_;
    std::map<std::string, HWND> legends_;
    std::map<int, quillon::Control*> byId_;
    std::map<HWND, WNDPROC> folderFields_;
};

} // namespace quillon::win32
