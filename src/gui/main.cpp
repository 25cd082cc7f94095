// quillon: the window. Off Windows it takes the registry options of quillon-cli.
#include "app/dialogue.h"
#include "app/licence.h"
#include "app/registry_commands.h"
#include "gui/chooser_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/source_dialog.h"
#include "options/registry_files.h"
#include "options/store_options.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <iostream>

namespace {

const char* const kUsage =
    "Usage : quillon [REGISTRE] [--screenshots DOSSIER]\n"
    "Ouvre la fenêtre de Quillon. Sans registre donné, si le préfixe Wine par défaut ne\n"
    "contient pas Outlook Express 5 ou 6, elle demande d'abord ce qu'elle doit lire.\n"
    "  --screenshots DOSSIER  enregistre dans DOSSIER une image de chaque onglet, du\n"
    "                         choix de répertoire et (avec --windows) du choix du\n"
    "                         registre, puis quitte.\n\n";

// The help beside the program, or where an installation puts it.
std::string HelpBase() {
    const QString here = QCoreApplication::applicationDirPath();
    if (QDir(here + "/help").exists()) {
        return quillon::gui::ToNative(here);
    }
    return quillon::gui::ToNative(QDir::cleanPath(here + "/../share/quillon"));
}

// The chooser lives while the user picks what to read: the hives it lists are opened once for
// all the users sharing them.
quillon::SourceChooser MakeSourceChooser() {
    return quillon::SourceChooser(quillon::OpenStoresSharingHives(), quillon::AddRegistryFile,
                                  HelpBase());
}

// The source chooser as it lists the installation of `--windows`, when one was given.
void SaveSourceChooserScreenshot(const quillon::StoreOptions& options, const QString& folder) {
    for (const quillon::Mount& mount : options.Mounts) {
        if (mount.Source == quillon::Mount::Kind::Windows) {
            quillon::SourceChooser chooser = MakeSourceChooser();
            chooser.Read(quillon::SourceChooser::Source::WindowsFolder, mount.Path);
            quillon::gui::SourceDialog dialog(chooser);
            dialog.show();
            QApplication::processEvents();
            dialog.grab().save(folder + "/choix-registre.png");
            return;
        }
    }
}

void SaveScreenshots(quillon::gui::MainWindow& window, quillon::Dialogue& dialogue,
                     const QString& folder) {
    QDir().mkpath(folder);
    for (int tab = 1; tab <= 3; ++tab) {
        dialogue.Onglets.Select(tab);
        dialogue.Onglets_Click();
        QApplication::processEvents();
        window.grab().save(folder + QString("/onglet%1.png").arg(tab));
    }
    std::string r;
    quillon::ChoixRepertSauve chooser(r, quillon::gui::AvailableDrives(),
                                      [](auto&) { return true; });
    quillon::gui::ChooserDialog dialog(chooser, &window, QDir::currentPath());
    dialog.show();
    for (int wait = 0; wait < 20; ++wait) { // the folder list fills in the background
        QApplication::processEvents();
        QThread::msleep(25);
    }
    dialog.grab().save(folder + "/choix-repertoire.png");
}

// Tab 1 at work with both mail boxes ticked, then its Thunderbird profile button: each message
// box they show, as a picture (message-1.png ...), what they write into a folder removed
// afterwards.
void SaveMailScreenshots(quillon::gui::QtUi& ui, quillon::Dialogue& dialogue,
                         const QString& folder) {
    QTemporaryDir work;
    ui.CaptureMessages(folder, work.path());
    dialogue.Onglets.Select(1);
    dialogue.Onglets_Click();
    dialogue.CourrierAvec1.SetValue(1);
    dialogue.CourrierOuvert1.SetValue(1);
    dialogue.BoutonSauvegarder1_Click();
    dialogue.BoutonProfil_Click(1);
    ui.CaptureMessages({}, {});
}

} // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << quillon::StoreOptionsHelp;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "quillon " QUILLON_VERSION "\n" << quillon::kLicenceLines;
            return 0;
        }
    }
    quillon::CleanUpOnInterrupt();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillon");
    quillon::gui::LoadFrenchTranslations(app);

    std::vector<std::string> args(argv + 1, argv + argc);
    quillon::StoreOptions options;
    QString screenshots;
    for (std::size_t i = 0; i < args.size();) {
        std::string error;
        if (args[i] == "--screenshots" && i + 1 < args.size()) {
            screenshots = QString::fromStdString(args[i + 1]);
            i += 2;
            continue;
        }
        const auto parsed = quillon::ParseStoreOption(args, i, options, error);
        if (parsed != quillon::OptionParse::Taken) {
            std::cerr << "quillon: "
                      << (parsed == quillon::OptionParse::Error ? error
                                                                : "option inconnue : " + args[i])
                      << "\n"
                      << kUsage;
            return 2;
        }
    }

    quillon::OpenedStore opened = quillon::OpenStore(options);
    // With nothing to read, the user says what to read before the window opens.
    quillon::SourceChooser chooser = MakeSourceChooser();
    if (screenshots.isEmpty() && chooser.MustAsk(options, opened.Store.get())) {
        quillon::gui::SourceDialog dialog(chooser);
        if (dialog.exec() != QDialog::Accepted) {
            return 0;
        }
        options = chooser.Chosen();
        opened = quillon::OpenStore(options);
    }

    quillon::gui::QtUi ui;
    // Damage met while the hives are read is said as it is met: at the start, then as the
    // window reads more.
    auto warn = [&](const std::vector<std::string>& warnings) {
        for (const std::string& warning : warnings) {
            std::cerr << "quillon: avertissement : " << warning << "\n";
        }
    };
    warn(opened.Warnings);
    if (!opened.Store) {
        QMessageBox::critical(nullptr, "Quillon", QString::fromStdString(opened.Error));
        return 1;
    }
    quillon::Reg_access registry(*opened.Store);
    quillon::Dialogue dialogue(registry, ui, HelpBase());
    dialogue.ChooserDrives = quillon::gui::AvailableDrives;
    if (opened.Installation) {
        dialogue.Installation = &*opened.Installation;
    }
    quillon::gui::MainWindow window(dialogue);
    dialogue.Form_Load();
    warn(opened.TakeReadWarnings());
    if (dialogue.Ended()) {
        return 1;
    }
    ui.SetWindow(&window);
    window.show();
    if (!screenshots.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            SaveScreenshots(window, dialogue, screenshots);
            SaveSourceChooserScreenshot(options, screenshots);
            SaveMailScreenshots(ui, dialogue, screenshots);
            QApplication::quit();
        });
    }
    const int status = app.exec();
    warn(opened.TakeReadWarnings());
    return status;
}
