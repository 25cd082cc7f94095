// quillon.exe: the window on Windows, over the live registry, or the registry that the options of
// quillon-cli name (an old installation's drive or folder, hives, .reg files).
#include "app/dialogue.h"
#include "app/source_chooser.h"
#include "options/registry_files.h"
#include "options/store_options.h"
#include "text/native_text.h"
#include "win32/chooser_dialog.h"
#include "win32/main_window.h"
#include "win32/screenshots.h"
#include "win32/source_dialog.h"
#include "win32/win32_ui.h"

#include <commctrl.h>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "Usage : quillon [REGISTRE] [--screenshots DOSSIER]\n"
                           "Ouvre la fenêtre de Quillon, sur le registre de ce système ou sur "
                           "celui que les options donnent :\n\n";

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const auto cut = folder.find_last_of('\\');
    return cut == std::string::npos ? "." : folder.substr(0, cut);
}

// The options of the command line: the registry to read, and "--screenshots DOSSIER", pictures
// of the window for the documentation. false with the French `error` of a wrong one.
bool ParseOptions(quillon::StoreOptions& options, std::string& screenshots, std::string& error) {
    const std::vector<std::string> args(__argv + 1, __argv + __argc);
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--screenshots" && i + 1 < args.size()) {
            screenshots = args[i + 1];
            i += 2;
            continue;
        }
        const auto parsed = quillon::ParseStoreOption(args, i, options, error);
        if (parsed != quillon::OptionParse::Taken) {
            if (parsed == quillon::OptionParse::NotAStoreOption) {
                error = "option inconnue : " + args[i];
            }
            return false;
        }
    }
    return true;
}

// Asks what to read when the options name nothing and this system has no mail client the window
// opens: the old disks plugged in first. false when the user quits.
bool AskWhatToRead(quillon::StoreOptions& options, quillon::OpenedStore& opened,
                   quillon::win32::Win32Ui& ui, HINSTANCE instance) {
    using namespace quillon;
    SourceChooser chooser(OpenStoresSharingHives(), AddRegistryFile, ProgramFolder());
    if (!chooser.MustAsk(options, opened.Store.get())) {
        return true;
    }
    chooser.ReadDrives(win32::OtherDrives(), win32::ReadingSteps(ui));
    win32::EndReading(ui);
    win32::SourceDialog dialog(chooser, ui, win32::AskThroughUi(ui));
    if (!dialog.Run(instance, nullptr)) {
        return false;
    }
    options = chooser.Chosen();
    opened = OpenStore(options);
    return true;
}

// The source chooser as it lists the installation of `--windows`, when one was given.
bool SaveSourceChooserScreenshot(const quillon::StoreOptions& options, quillon::win32::Win32Ui& ui,
                                 HINSTANCE instance, const std::string& folder) {
    using namespace quillon;
    for (const Mount& mount : options.Mounts) {
        if (mount.Source == Mount::Kind::Windows) {
            SourceChooser chooser(OpenStoresSharingHives(), AddRegistryFile, ProgramFolder());
            chooser.Read(SourceChooser::Source::WindowsFolder, mount.Path);
            return win32::SaveSourceChooserScreenshot(chooser, ui, instance, folder);
        }
    }
    return true;
}

// What was worked around to read an old registry, told once.
void ShowWarnings(quillon::Ui& ui, const std::vector<std::string>& warnings) {
    std::string text;
    for (const std::string& warning : warnings) {
        text += (text.empty() ? "" : "\n\n") + quillon::Ansi(warning);
    }
    if (!text.empty()) {
        ui.MessageBox(text, quillon::MessageIcon::Exclamation, quillon::MessageButtons::Ok,
                      quillon::Dialogue::ApplicationTitle);
    }
}

int Run(HINSTANCE instance, int show) {
    using namespace quillon;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // A drive with no disk in it (a card reader) reads as empty, without a system message box.
    SetErrorMode(SEM_FAILCRITICALERRORS);

    win32::Win32Ui ui(instance);
    StoreOptions options;
    std::string screenshots, error;
    if (!ParseOptions(options, screenshots, error)) {
        ui.MessageBox(Ansi(error + "\n\n" + kUsage + StoreOptionsHelp), MessageIcon::Stop,
                      MessageButtons::Ok, Dialogue::ApplicationTitle);
        return 2;
    }
    OpenedStore opened = OpenStore(options);
    if (screenshots.empty() && !AskWhatToRead(options, opened, ui, instance)) {
        return 0;
    }
    if (!opened.Store) {
        ui.MessageBox(Ansi(opened.Error), MessageIcon::Stop, MessageButtons::Ok,
                      Dialogue::ApplicationTitle);
        return 1;
    }
    Reg_access registry(*opened.Store);
    Dialogue dialogue(registry, ui, ProgramFolder());
    dialogue.ChooserDrives = win32::AvailableDrives;
    if (opened.Installation) {
        dialogue.Installation = &*opened.Installation;
    }
    win32::MainWindow window(dialogue, instance);
    dialogue.Form_Load();
    std::vector<std::string> warnings = opened.Warnings;
    for (std::string& warning : opened.TakeReadWarnings()) {
        warnings.push_back(std::move(warning));
    }
    if (dialogue.Ended()) {
        return 1;
    }
    ui.SetWindow(window.Handle());
    ShowWindow(window.Handle(), show);
    UpdateWindow(window.Handle());
    if (!screenshots.empty()) {
        return win32::SaveScreenshots(window, dialogue, ui, instance, screenshots) &&
                       SaveSourceChooserScreenshot(options, ui, instance, screenshots)
                   ? 0
                   : 1;
    }
    ShowWarnings(ui, warnings);
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
