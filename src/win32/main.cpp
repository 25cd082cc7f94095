// quillon.exe: the window on Windows, over the live registry.
#include "app/dialogue.h"
#include "options/store_options.h"
#include "win32/chooser_dialog.h"
#include "win32/main_window.h"
#include "win32/screenshots.h"
#include "win32/win32_ui.h"

#include <commctrl.h>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const auto cut = folder.find_last_of('\\');
    return cut == std::string::npos ? "." : folder.substr(0, cut);
}

// "--screenshots DOSSIER", the only option: pictures of the window for the documentation.
std::string ScreenshotFolder() {
    for (int i = 1; i + 1 < __argc; ++i) {
        if (std::string(__argv[i]) == "--screenshots") {
            return __argv[i + 1];
        }
    }
    return {};
}

int Run(HINSTANCE instance, int show) {
    using namespace quillon;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    win32::Win32Ui ui(instance);
    OpenedStore opened = OpenStore(StoreOptions{});
    if (!opened.Store) {
        ui.MessageBox(opened.Error, MessageIcon::Stop, MessageButtons::Ok,
                      Dialogue::ApplicationTitle);
        return 1;
    }
    Reg_access registry(*opened.Store);
    Dialogue dialogue(registry, ui, ProgramFolder());
    dialogue.ChooserDrives = win32::AvailableDrives;
    win32::MainWindow window(dialogue, instance);
    dialogue.Form_Load();
    if (dialogue.Ended()) {
        return 1;
    }
    ui.SetWindow(window.Handle());
    ShowWindow(window.Handle(), show);
    UpdateWindow(window.Handle());
    if (const std::string folder = ScreenshotFolder(); !folder.empty()) {
        return win32::SaveScreenshots(window, dialogue, ui, instance, folder) ? 0 : 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    try {
        return Run(instance, show);
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, (std::string("Erreur inattendue : ") + e.what()).c_str(), "Quillon",
                    MB_ICONHAND | MB_OK);
        return 1;
    }
}
