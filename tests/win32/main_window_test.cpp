// The Windows window over the model, run under Wine with a virtual display: the real controls
// driven by window messages, with the fake Ui; then the real Ui's dialogs and help viewer.
#include "../dialogue_fixture.h"
#include "app/dialogue.h"
#include "app/source_chooser.h"
#include "options/registry_files.h"
#include "options/store_options.h"
#include "registry/reg_access.h"
#include "stores/windows_store.h"
#include "test_support.h"
#include "text/native_text.h"
#include "win32/chooser_dialog.h"
#include "win32/main_window.h"
#include "win32/resource.h"
#include "win32/source_dialog.h"
#include "win32/win32_ui.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>
#include <functional>

namespace quillon {
namespace {

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A left click in the middle of a control, as the mouse gives it.
void Click(HWND control, POINT at = {4, 4}) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(control, WM_LBUTTONUP, 0, where);
    Pump();
}

// Runs `inspect` on the first window of that title that opens while `open` runs (a modal
// dialog), which must close it.
HWND g_found = nullptr;
std::string g_title;
std::function<void(HWND)> g_inspect;
void CALLBACK LookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA(nullptr, g_title.c_str());
    if (dialog != nullptr && IsWindowVisible(dialog)) {
        KillTimer(nullptr, timer);
        g_found = dialog;
        g_inspect(dialog);
    }
}
void WhenOpen(const std::string& title, std::function<void(HWND)> inspect,
              const std::function<void()>& open) {
    g_found = nullptr;
    g_title = title;
    g_inspect = std::move(inspect);
    SetTimer(nullptr, 0, 100, LookForDialog);
    open();
    EXPECT_NE(g_found, nullptr) << "no window titled " << title;
}

// Clicks the middle of a tab, as the mouse does.
void ClickTab(win32::MainWindow& window, int tab) {
    HWND tabs = window.Control("Onglets");
    RECT item;
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab - 1),
                 reinterpret_cast<LPARAM>(&item));
    Click(tabs, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

class Win32WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.store = test::StoreFromReg(test::OeRegistry("{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}"));
        window.emplace(rig.Create("C:\\quillon"), GetModuleHandleA(nullptr));
        dialogue->Form_Load();
        ShowWindow(window->Handle(), SW_SHOW);
        Pump();
    }
    HWND W(const std::string& name) { return window->Control(name); }
    bool Checked(const std::string& name) {
        return SendMessageA(W(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void ShowTab(int tab) { ClickTab(*window, tab); }
    // Sends a key through the window's message loop, as the user types it.
    void Key(HWND to, WPARAM key) {
        for (UINT kind : {WM_KEYDOWN, WM_KEYUP}) {
            MSG message{to, kind, key, 0, 0, {0, 0}};
            if (!window->PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        Pump();
    }

    test::DialogueRig rig;
    test::FakeUi& ui = rig.ui;
    std::optional<Dialogue>& dialogue = rig.dialogue;
    std::optional<win32::MainWindow> window;
};

TEST_F(Win32WindowTest, EveryControlIsDrawnWithItsCaptionAndTooltip) {
    EXPECT_EQ(TextOf(window->Handle()), "Quillon 2.5       ");
    // The texts the address-book fields start with, in the model and drawn: binding the window
    // must not empty them.
    for (const auto& [name, text] :
         {std::pair{"CarnetLu", Ansi("Pas d'adresse de carnet dans le "
                                     "fichier de sauvegarde")},
          std::pair{"CarnetFutur", Ansi("Répertoire carnet d'adresse")}}) {
        EXPECT_EQ(static_cast<const TextBox*>(dialogue->Find(name))->Text(), text) << name;
        EXPECT_EQ(TextOf(W(name)), text) << name;
    }
    for (const Control* control : dialogue->Controls()) {
        HWND drawn = W(control->Name());
        ASSERT_NE(drawn, nullptr) << control->Name();
        if (control->ControlKind() == Control::Kind::TextBox) {
            // An edit control ends its text at a zero, as a stored folder holds one.
            EXPECT_EQ(TextOf(drawn), static_cast<const TextBox*>(control)->Text().c_str())
                << control->Name();
            if (!control->Caption().empty()) {
                EXPECT_EQ(TextOf(window->Legend(control->Name())), control->Caption());
            }
        } else if (control->ControlKind() != Control::Kind::TabStrip) {
            EXPECT_EQ(TextOf(drawn), control->Caption()) << control->Name();
        }
        if (control->ControlKind() == Control::Kind::CheckBox) {
            EXPECT_EQ(Checked(control->Name()), static_cast<const CheckBox*>(control)->Value() == 1)
                << control->Name();
        }
        if (!control->ToolTip().empty()) {
            // The "W" form: the "A" one gives 80 characters at most.
            wchar_t text[1024] = {};
            TOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = GetParent(drawn);
            tool.uId = reinterpret_cast<UINT_PTR>(drawn);
            tool.lpszText = text;
            SendMessageW(window->ToolTips(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
            char ansi[1024] = {};
            WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
            EXPECT_EQ(std::string(ansi), control->ToolTip()) << control->Name();
        }
    }
    HWND tabs = W("Onglets");
    const auto& model = dialogue->Onglets.Tabs();
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(model.size()));
    for (std::size_t i = 0; i < model.size(); ++i) {
        char caption[128] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof caption;
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::string(caption), model[i].Caption);
    }
}

TEST_F(Win32WindowTest, EachTabShowsItsPageOnlyAndItsDefaultButton) {
    for (int tab : {3, 2, 1}) {
        ShowTab(tab);
        EXPECT_EQ(dialogue->OngletActif, tab);
        for (int page = 1; page <= 3; ++page) {
            EXPECT_EQ(IsWindowVisible(window->Page(page)) != FALSE, page == tab) << tab << page;
        }
        if (tab == 3) {
            EXPECT_FALSE(IsWindowEnabled(W("BoutonChangerF")));
        } else {
            const std::string save = tab == 1 ? "BoutonSauvegarder1" : "BoutonSauvegarder2";
            const LRESULT id = SendMessageA(window->Handle(), DM_GETDEFID, 0, 0);
            EXPECT_EQ(LOWORD(id), GetDlgCtrlID(W(save)));
        }
    }
    // Ctrl+Tab goes to the next tab.
    SetFocus(W("Check1_3"));
    SendMessageA(window->Handle(), WM_NULL, 0, 0);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key(W("Check1_3"), VK_TAB);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(dialogue->OngletActif, 2);
}

// A click on each box, button and link, and typing in each field, reach the model; what the
// model changes in turn (a master's boxes) reaches the screen.
TEST_F(Win32WindowTest, EveryControlReachesTheModel) {
    for (const Control* control : dialogue->Controls()) {
        for (int tab = 1; tab <= 3; ++tab) {
            if (GetParent(W(control->Name())) == window->Page(tab)) {
                ShowTab(tab);
            }
        }
        HWND drawn = W(control->Name());
        EXPECT_EQ(IsWindowEnabled(drawn) != FALSE, control->Enabled()) << control->Name();
        if (!control->Enabled()) {
            continue;
        }
        const std::size_t before = ui.calls.size();
        if (const auto* box = dynamic_cast<const CheckBox*>(control)) {
            const int value = box->Value();
            SendMessageA(drawn, BM_CLICK, 0, 0);
            EXPECT_EQ(box->Value(), 1 - value) << control->Name();
            for (const Control* other : dialogue->Controls()) {
                if (const auto* shown = dynamic_cast<const CheckBox*>(other)) {
                    EXPECT_EQ(Checked(other->Name()), shown->Value() == 1) << other->Name();
                }
            }
        } else if (const auto* field = dynamic_cast<const TextBox*>(control)) {
            if ((GetWindowLongA(drawn, GWL_STYLE) & ES_READONLY) == 0) {
                SetWindowTextA(drawn, "D:\\\xC9t\xE9");
                EXPECT_EQ(field->Text(), "D:\\\xC9t\xE9") << control->Name();
            }
        } else if (control->ControlKind() == Control::Kind::Button ||
                   dialogue->Clickable(control->Name())) {
            if (control->ControlKind() != Control::Kind::TabStrip) {
                Click(drawn);
                EXPECT_GT(ui.calls.size(), before) << control->Name();
            }
        }
    }
    EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "end"), ui.calls.end()); // "Terminé"
}

TEST_F(Win32WindowTest, EnterStartsThePagesDefaultButtonAndEscapeLeavesTheWindowOpen) {
    SetFocus(W("Check1_3"));
    Key(W("Check1_3"), VK_RETURN);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].Kind, FileDialogRequest::Form::Save);
    Key(W("Check1_3"), VK_ESCAPE);
    EXPECT_TRUE(IsWindow(window->Handle()));
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_NE(ui.calls.back(), "end");
}

TEST_F(Win32WindowTest, LeavingAFolderFieldForAnotherControlChecksTheFolder) {
    ShowTab(3);
    HWND field = W("RepertoireChoisi");
    SetWindowTextA(field, "Q:\\nulle part");
    EXPECT_EQ(dialogue->RepertoireChoisi.Text(), "Q:\\nulle part");
    SetFocus(field);
    HWND other = CreateWindowExA(0, "STATIC", "autre", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr,
                                 nullptr, nullptr, nullptr);
    SetFocus(other); // another window of the program, as a message box is
    SetFocus(nullptr);
    Pump();
    EXPECT_TRUE(ui.messages.empty());
    DestroyWindow(other);
    SetFocus(field);
    SetFocus(W("CarnetFutur"));
    Pump();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].Text, "Le répertoire Q:\\nulle part n'existe pas ! ");
    EXPECT_EQ(ui.messages[0].Title, "Quillon");
    EXPECT_EQ(TextOf(field), "Q:\\nulle part");
}

// The real Ui: each dialog opens with what was asked, and is cancelled.
class Win32UiTest : public ::testing::Test {
  protected:
    // The help file of the build, as Wine names it.
    static std::string HelpFile() {
        std::string path = QUILLON_HELP_FILE;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    win32::Win32Ui ui{GetModuleHandleA(nullptr)};
};

TEST_F(Win32UiTest, FileDialogsShowTheAskedTitleFilterAndName) {
    for (auto form : {FileDialogRequest::Form::Save, FileDialogRequest::Form::Open}) {
        FileDialogRequest request = BackupFileRequest(form, "Titre du test", 2);
        request.FileName = "Sauvegarde Quillon";
        std::string filter, name;
        std::optional<std::string> chosen = "unset";
        WhenOpen(
            "Titre du test",
            [&](HWND dialog) {
                char text[256] = {};
                HWND types = GetDlgItem(dialog, 0x470); // cmb1, the file types
                const auto index = SendMessageA(types, CB_GETCURSEL, 0, 0);
                SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text));
                filter = text;
                name = TextOf(GetDlgItem(dialog, 0x47c)); // cmb13, the file name
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            },
            [&] { chosen = ui.FileDialog(request); });
        EXPECT_EQ(filter, "texte (.txt)");
        EXPECT_EQ(name, "Sauvegarde Quillon");
        EXPECT_FALSE(chosen.has_value()) << *chosen;
    }
}

TEST_F(Win32UiTest, MessageBoxesShowTheTextAndGiveTheAnswer) {
    Answer answer = Answer::Ok;
    std::string text;
    WhenOpen(
        "Question du test",
        [&](HWND box) {
            text = TextOf(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDYES, 0);
        },
        [&] {
            answer = ui.MessageBox("Continuer ?", MessageIcon::None, MessageButtons::YesNo,
                                   "Question du test");
        });
    EXPECT_EQ(text, "Continuer ?");
    EXPECT_EQ(answer, Answer::Yes);
}

// A long work shows its progress after a moment, with "Annuler", which stops it; its end closes
// the progress window.
TEST_F(Win32UiTest, ALongWorkShowsItsProgressAndAnnulerStopsIt) {
    EXPECT_FALSE(ui.Progress("Copie du test", 1, 10));
    EXPECT_EQ(FindWindowA(nullptr, "Copie du test"), nullptr); // a short work shows nothing
    Sleep(500);
    EXPECT_FALSE(ui.Progress("Copie du test", 2, 10));
    HWND progress = FindWindowA(nullptr, "Copie du test");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(IsWindowVisible(progress));
    EXPECT_EQ(TextOf(GetDlgItem(progress, IDCANCEL)), "Annuler");
    SendMessageA(progress, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(ui.Progress("Copie du test", 3, 10));
    EXPECT_FALSE(ui.Progress("Copie du test", 10, 10));
    EXPECT_EQ(FindWindowA(nullptr, "Copie du test"), nullptr);
}

TEST_F(Win32UiTest, TheChooserGivesTheFolderShownOrNothing) {
    std::string r = "avant";
    char here[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, here);
    {
        ChoixRepertSauve chooser(r, win32::AvailableDrives(),
                                 [](const std::string&) { return true; });
        WhenOpen(
            ChoixRepertSauve::Caption,
            [](HWND dialog) {
                EXPECT_GT(SendDlgItemMessageA(dialog, 200, CB_GETCOUNT, 0, 0), 0);
                EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), "OK");
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            },
            [&] { win32::ChooserDialog(chooser).Run(GetModuleHandleA(nullptr), nullptr); });
    }
    EXPECT_EQ(r, here);
    ChoixRepertSauve chooser(r, {}, [](const std::string&) { return true; });
    WhenOpen(
        ChoixRepertSauve::Caption,
        [](HWND dialog) {
            EXPECT_EQ(TextOf(GetDlgItem(dialog, 204)), "Annuler");
            PostMessageA(dialog, WM_COMMAND, 204, 0);
        },
        [&] { win32::ChooserDialog(chooser).Run(GetModuleHandleA(nullptr), nullptr); });
    EXPECT_EQ(r, "");
}

// The old disk plugged in is listed before anything is asked, its user opens; a hive picked
// next replaces the list, and Quitter gives nothing.
TEST_F(Win32UiTest, TheSourceChooserListsAnOldDiskFirstAndGivesTheChosenUser) {
    const std::string sample = QUILLON_SAMPLE_FOLDER;
    if (sample.empty()) {
        GTEST_SKIP() << "the sample installation is built by the Linux build (QUILLON_NATIVE_CLI)";
    }
    SourceChooser chooser(OpenStoresSharingHives(), AddRegistryFile, ".");
    chooser.ReadDrives({"Z:\\", sample}); // the root of Wine's Z: holds no Windows
    std::vector<std::string> asked;
    win32::SourceDialog dialog(chooser, ui, [&](const SourceChooser::PathRequest& request) {
        asked.push_back(request.Title);
        return std::optional<std::string>(sample + "/Documents and Settings/Luc/NTUSER.DAT");
    });
    const std::string caption = Ansi(SourceChooser::Caption);
    bool chosen = false;
    WhenOpen(
        caption,
        [](HWND shown) {
            EXPECT_EQ(SendDlgItemMessageA(shown, IDC_INSTALLATIONS, LVM_GETITEMCOUNT, 0, 0), 1);
            EXPECT_NE(TextOf(GetDlgItem(shown, IDC_LECTURE)).find("Disques de cet ordinateur"),
                      std::string::npos);
            EXPECT_EQ(TextOf(GetDlgItem(shown, IDC_ETAT)),
                      Ansi("« Ouvrir » ouvre les paramètres de Luc."));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(shown, IDOK)));
            PostMessageA(shown, WM_COMMAND, IDOK, 0);
            PostMessageA(shown, WM_COMMAND, IDCANCEL, 0); // closes it if Ouvrir did not
        },
        [&] { chosen = dialog.Run(GetModuleHandleA(nullptr), nullptr); });
    EXPECT_TRUE(chosen);
    ASSERT_EQ(chooser.Chosen().Mounts.size(), 1u);
    EXPECT_EQ(chooser.Chosen().Mounts[0].Path, sample);

    WhenOpen(
        caption,
        [](HWND shown) {
            EXPECT_EQ(TextOf(GetDlgItem(shown, IDC_PREMIERE_SOURCE + 1)),
                      Ansi("Ruche ou fichier .reg..."));
            SendMessageA(shown, WM_COMMAND, IDC_PREMIERE_SOURCE + 1, 0);
            EXPECT_EQ(TextOf(GetDlgItem(shown, IDC_LECTURE)),
                      "Fichiers de registre : NTUSER.DAT " + Ansi("→") + " HKEY_CURRENT_USER");
            EXPECT_FALSE(
                IsWindowEnabled(GetDlgItem(shown, IDOK))); // no mail client without SOFTWARE
            PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { chosen = dialog.Run(GetModuleHandleA(nullptr), nullptr); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(asked, std::vector<std::string>{"Ruche ou fichier .reg"});
}

// Each context of the help file opens a window of the help viewer (this checks the file's
// context map).
TEST_F(Win32UiTest, EveryHelpContextOpensAHelpWindow) {
    for (std::int32_t context : {1100, 1500, 1600, 2000, 2200, 3000, 9000, 9100}) {
        EXPECT_TRUE(ui.HtmlHelp(true, HelpFile(), HelpCommand::HelpContext, context)) << context;
        ui.HtmlHelp(true, HelpFile(), HelpCommand::CloseAll, 0);
        Pump();
    }
    EXPECT_FALSE(ui.HtmlHelp(true, HelpFile(), HelpCommand::HelpContext, 4242));
}

// A whole run through the window on the live registry, where the sample installation was
// imported: save on tab 1, adapt on tab 3; the same files as quillon-cli.exe made in
// QUILLON_RUN_FOLDER (cli-saved.reg, cli-adapted.reg).
TEST(Win32WindowRun, SaveAndAdaptGiveTheCommandLinesFiles) {
    const char* folder = std::getenv("QUILLON_RUN_FOLDER");
    if (folder == nullptr) {
        GTEST_SKIP() << "QUILLON_RUN_FOLDER is not set: no live registry with the sample";
    }
    const std::string here = folder;
    WindowsStore store;
    Reg_access registry(store);
    test::FakeUi ui;
    Dialogue dialogue(registry, ui, "C:\\quillon");
    win32::MainWindow window(dialogue, GetModuleHandleA(nullptr));
    dialogue.Form_Load();
    ShowWindow(window.Handle(), SW_SHOW);
    Pump();

    ui.files.push_back(here + "\\window-saved.reg");
    ui.answers.push_back(Answer::Yes);
    Click(window.Control("BoutonSauvegarder1"));
    EXPECT_EQ(test::ReadBytes(here + "\\window-saved.reg"),
              test::ReadBytes(here + "\\cli-saved.reg"));

    ClickTab(window, 3);
    ui.files.push_back(here + "\\window-saved.reg");
    Click(window.Control("OuvrirSauvegarde"));
    SetWindowTextA(window.Control("RepertoireChoisi"), "D:\\Courrier OE");
    Click(window.Control("BoutonChangerF"));
    ASSERT_TRUE(IsWindowEnabled(window.Control("BoutonEnregistrerSauvegarde")));
    ui.files.push_back(here + "\\window-adapted.reg");
    Click(window.Control("BoutonEnregistrerSauvegarde"));
    EXPECT_EQ(test::ReadBytes(here + "\\window-adapted.reg"),
              test::ReadBytes(here + "\\cli-adapted.reg"));
    EXPECT_FALSE(test::ReadBytes(here + "\\cli-adapted.reg").empty());
}

} // namespace
} // namespace quillon
