// The Qt window over the model, on the offscreen platform, with the fake Ui for everything
// modal: every control drawn with its caption and tooltip, and every event reaching the model.
#include "../dialogue_fixture.h"
#include "../test_files.h"
#include "app/dialogue.h"
#include "gui/chooser_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/source_dialog.h"
#include "offline/offline_store.h"
#include "options/registry_files.h"
#include "options/store_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

using namespace quillon;

namespace {

QString Text(QWidget* widget) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    // The window on the sample installation's registry, started as the program starts it.
    void Open() {
        window.reset(); // before the model it draws
        rig = std::make_unique<test::DialogueRig>();
        std::string error;
        std::vector<std::string> warnings;
        QVERIFY2(
            MountAll(rig->store,
                     {{{Mount::Kind::Windows, "", std::string(QUILLON_SAMPLES "/sample-xp")}}, ""},
                     warnings, error),
            error.c_str());
        ui = &rig->ui;
        dialogue = &rig->Create();
        window = std::make_unique<gui::MainWindow>(*dialogue);
        dialogue->Form_Load();
        window->show();
    }
    template <typename T> T* W(const char* name) { return qobject_cast<T*>(window->Widget(name)); }
    void ShowTab(int index) {
        W<QTabBar>("Onglets")->setCurrentIndex(index - 1);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<test::DialogueRig> rig;
    test::FakeUi* ui = nullptr;
    Dialogue* dialogue = nullptr;
    std::unique_ptr<gui::MainWindow> window;
    QTemporaryDir folder;

  private slots:
    void standardButtonsSpeakFrench() {
        QVERIFY(gui::LoadFrenchTranslations(*qApp));
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString("Non"));
    }

    // Every control of the model is drawn with the model's caption, tooltip, value and text.
    void everyControlIsDrawnFromTheModel() {
        Open();
        QCOMPARE(window->windowTitle(), gui::FromAnsi(Dialogue::Caption));
        for (Control* control : dialogue->Controls()) {
            QWidget* widget = window->Widget(control->Name());
            QVERIFY2(widget != nullptr, control->Name().c_str());
            QCOMPARE(widget->toolTip(), gui::FromAnsi(control->ToolTip()));
            QCOMPARE(widget->isEnabled(), control->Enabled());
            if (!control->Caption().empty() && control->ControlKind() != Control::Kind::TextBox) {
                QVERIFY2(Text(widget).contains(gui::FromAnsi(control->Caption()).toHtmlEscaped()) ||
                             Text(widget) == gui::FromAnsi(control->Caption()),
                         control->Name().c_str());
            }
            if (auto* box = qobject_cast<QCheckBox*>(widget)) {
                QCOMPARE(box->isChecked(), static_cast<const CheckBox*>(control)->Value() == 1);
            }
            if (auto* field = qobject_cast<QLineEdit*>(widget)) {
                QCOMPARE(gui::ToAnsi(field->text()), static_cast<const TextBox*>(control)->Text());
            }
        }
        auto* tabs = W<QTabBar>("Onglets");
        QCOMPARE(tabs->count(), static_cast<int>(dialogue->Onglets.Tabs().size()));
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->tabText(i), gui::FromAnsi(dialogue->Onglets.Tabs()[i].Caption));
            QCOMPARE(tabs->tabToolTip(i), gui::FromAnsi(dialogue->Onglets.Tabs()[i].ToolTip));
        }
    }

    // A click on each box, button and link, and typing in each field, reach the model; what
    // the model changes in turn (a master's boxes) reaches the screen.
    void everyControlReachesTheModel() {
        Open();
        for (Control* control : dialogue->Controls()) {
            QWidget* widget = window->Widget(control->Name());
            for (int tab = 1; tab <= 3; ++tab) {
                if (window->Widget("Onglet" + std::to_string(tab))->isAncestorOf(widget)) {
                    ShowTab(tab);
                }
            }
            if (!control->Enabled() || !widget->isVisible()) {
                continue;
            }
            const std::size_t calls = ui->calls.size();
            if (auto* box = qobject_cast<QCheckBox*>(widget)) {
                const int before = static_cast<const CheckBox*>(control)->Value();
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
                QCOMPARE(static_cast<const CheckBox*>(control)->Value(), 1 - before);
                for (const Control* other : dialogue->Controls()) {
                    if (auto* drawn = qobject_cast<QCheckBox*>(window->Widget(other->Name()))) {
                        QCOMPARE(drawn->isChecked(),
                                 static_cast<const CheckBox*>(other)->Value() == 1);
                    }
                }
            } else if (auto* field = qobject_cast<QLineEdit*>(widget);
                       field && !field->isReadOnly()) {
                field->clear();
                QTest::keyClicks(field, "D:\\Mail");
                QCOMPARE(static_cast<const TextBox*>(control)->Text(), std::string("D:\\Mail"));
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                QTest::mouseClick(button, Qt::LeftButton);
                QVERIFY2(ui->calls.size() > calls, control->Name().c_str());
            } else if (auto* label = qobject_cast<QLabel*>(widget);
                       label && dialogue->Clickable(control->Name())) {
                emit label->linkActivated(FaqAddress);
                QVERIFY2(ui->calls.size() > calls, control->Name().c_str());
            }
        }
        QVERIFY(std::find(ui->calls.begin(), ui->calls.end(), "end") != ui->calls.end());
    }

    void tabsShowOneFrame() {
        Open();
        auto* pages = qobject_cast<QStackedLayout*>(
            W<QGroupBox>("Onglet1")->parentWidget()->layout()->itemAt(1)->layout());
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->currentWidget(), window->Widget("Onglet1"));
        ShowTab(3);
        QCOMPARE(dialogue->OngletActif, 3);
        QCOMPARE(pages->currentWidget(), window->Widget("Onglet3"));
        QVERIFY(!W<QPushButton>("BoutonChangerF")->isEnabled());
        ShowTab(2);
        QCOMPARE(pages->currentWidget(), window->Widget("Onglet2"));
        QVERIFY(W<QPushButton>("BoutonSauvegarder2")->isDefault());
    }

    void theChooserGivesAnAnsiFolderOrNothing() {
        std::string r = "before";
        QVERIFY(QDir(folder.path()).mkdir("Données Élodie"));
        const QString there = folder.filePath("Données Élodie");
        {
            ChoixRepertSauve chooser(r, {gui::ToAnsi(folder.path())}, [](auto&) { return true; });
            gui::ChooserDialog dialog(chooser, nullptr, there);
            QCOMPARE(dialog.windowTitle(), QString("Choisir un répertoire"));
            QTest::mouseClick(dialog.findChild<QPushButton*>("Repert2OK"), Qt::LeftButton);
            QCOMPARE(r, gui::ToAnsi(there)); // one byte a letter, as the model's texts
        }
        ChoixRepertSauve chooser(r, {}, [](const std::string&) { return true; });
        gui::ChooserDialog dialog(chooser, nullptr);
        QTest::mouseClick(dialog.findChild<QPushButton*>("RepertAnnule"), Qt::LeftButton);
        QCOMPARE(r, std::string());
    }

    // Over an installation read offline, the chooser lists its folders, on its disk (C:) or in
    // its image (D:), and hands back Windows paths.
    void theChooserBrowsesTheInstallationRead() {
        QVERIFY(QDir(folder.path()).mkpath("Documents and Settings/Luc"));
        InstallationPaths disk;
        disk.AddDrive('C', gui::ToAnsi(folder.path()));
        disk.AddDrive('D', std::make_shared<test::FolderTree>(
                               std::vector<std::string>{"Mail", "Mail/Luc", "Autre"}));
        std::string r;
        ChoixRepertSauve chooser(
            r, disk.Drives(), [](auto&) { return true; }, &disk);
        gui::ChooserDialog dialog(chooser, nullptr);
        auto* drives = dialog.findChild<QComboBox*>("DriveRepert2");
        auto* list = dialog.findChild<QListView*>("DirRepert2");
        const auto open = [&](const QString& name) {
            QModelIndexList found;
            QTRY_VERIFY(!(found = list->model()->match(
                              list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole, name))
                             .isEmpty());
            emit list->activated(found.first());
        };
        QCOMPARE(drives->currentText(), QString("C:\\"));
        open("Documents and Settings");
        QCOMPARE(r, std::string("C:\\Documents and Settings"));
        drives->setCurrentIndex(1);
        emit drives->activated(1);
        QCOMPARE(list->model()->rowCount(), 2);
        open("Mail");
        open("Luc");
        QTest::mouseClick(dialog.findChild<QPushButton*>("Repert2OK"), Qt::LeftButton);
        QCOMPARE(r, std::string("D:\\Mail\\Luc"));
    }

    // Ctrl+Tab and Ctrl+Page Down go to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up back.
    void tabKeysChangeTabs() {
        Open();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const std::pair<int, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_Tab, Qt::ControlModifier},
            {Qt::Key_PageDown, Qt::ControlModifier},
            {Qt::Key_PageDown, Qt::ControlModifier},
            {Qt::Key_PageUp, Qt::ControlModifier},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}};
        std::vector<int> tabs;
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(W<QWidget>("Check1_3"), static_cast<Qt::Key>(key), modifiers);
            tabs.push_back(dialogue->OngletActif);
        }
        QCOMPARE(tabs, (std::vector<int>{2, 3, 1, 3, 2}));
    }

    // The check runs when the focus goes to another control of the window, not when another
    // window (an application, a message box) or a menu takes it; Escape leaves the window open.
    void leavingAMissingFolderSaysSoOnce() {
        Open();
        ShowTab(3);
        auto* field = W<QLineEdit>("RepertoireChoisi");
        field->setText("Q:\\nulle part");
        emit field->textEdited(field->text());
        for (Qt::FocusReason elsewhere : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent away(QEvent::FocusOut, elsewhere);
            QCoreApplication::sendEvent(field, &away);
        }
        QCoreApplication::processEvents();
        QVERIFY(ui->messages.empty());
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(field, &leave);
        QCoreApplication::processEvents();
        QCOMPARE(ui->messages.size(), std::size_t{1});
        QCOMPARE(ui->messages.back().Text,
                 std::string("Le répertoire Q:\\nulle part n'existe pas ! "));
        QCOMPARE(ui->messages.back().Title, std::string("Quillon"));

        window->show();
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QVERIFY(ui->calls.back() != "end");
    }

    // The source chooser's buttons ask with the model's request and read what is picked; the
    // rows, the status and Ouvrir are the model's.
    void theSourceChooserIsDrawnFromItsModel() {
        SourceChooser chooser(OpenStoresSharingHives(), AddRegistryFile, "");
        std::vector<std::string> asked;
        QString picked;
        gui::SourceDialog dialog(chooser, [&](QWidget*, const SourceChooser::PathRequest& request) {
            asked.push_back(request.Title);
            return picked;
        });
        const auto shown = [&] {
            auto* rows = dialog.findChild<QTableWidget*>("installations");
            QCOMPARE(rows->rowCount(), chooser.RowCount());
            for (int row = 0; row < chooser.RowCount(); ++row) {
                QCOMPARE(rows->item(row, 2)->text().toStdString(), chooser.Cells(row)[2]);
            }
            QCOMPARE(dialog.findChild<QLabel*>("etat")->text().toStdString(), chooser.Status());
            QCOMPARE(dialog.findChild<QPushButton*>("ouvrir")->isEnabled(), chooser.OpenEnabled());
        };
        for (const SourceChooser::Source source : SourceChooser::kSources) {
            for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
                if (button->text().toStdString() == SourceChooser::SourceCaption(source)) {
                    QCOMPARE(button->toolTip().toStdString(), SourceChooser::SourceTooltip(source));
                    button->click(); // cancelled: nothing read
                    QCOMPARE(asked.back(), SourceChooser::RequestFor(source).Title);
                }
            }
        }
        QCOMPARE(asked.size(), std::size(SourceChooser::kSources));
        QCOMPARE(chooser.RowCount(), 0);

        const QString sample = QUILLON_SAMPLES "/sample-xp";
        picked = sample;
        dialog.findChild<QPushButton*>("dossierWindows")->click();
        QCOMPARE(chooser.RowCount(), 1);
        shown();
        picked = sample + "/Documents and Settings/Luc/NTUSER.DAT";
        dialog.findChild<QPushButton*>("fichierRegistre")->click();
        QVERIFY(!chooser.OpenEnabled());
        shown();
        picked = sample;
        dialog.findChild<QPushButton*>("dossierWindows")->click();
        dialog.findChild<QPushButton*>("ouvrir")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A long reading runs beside the window, which goes on drawing a progress window whose
    // "Annuler" stops it and leaves the list as it was.
    void aLongReadingShowsItsStepsAndCanBeStopped() {
        std::atomic<int> opened = 0;
        SourceChooser chooser(
            [&](const StoreOptions& options, OpenedImages*, std::string& error) {
                ++opened;
                std::this_thread::sleep_for(std::chrono::milliseconds(kSlowOpenMs));
                return OpenStoreOnly(options, error);
            },
            AddRegistryFile, "");
        const QString sample = QUILLON_SAMPLES "/sample-xp";
        gui::SourceDialog dialog(
            chooser, [&](QWidget*, const SourceChooser::PathRequest&) { return sample; });
        dialog.findChild<QPushButton*>("dossierWindows")->click(); // read whole, slowly
        QCOMPARE(chooser.RowCount(), 1);
        QString stepShown, title;
        bool drawnMeanwhile = false;
        QTimer::singleShot(kSlowOpenMs / 2, [&] {
            auto* progress = dialog.findChild<QProgressDialog*>();
            drawnMeanwhile = progress != nullptr && progress->isVisible();
            if (progress != nullptr) {
                stepShown = progress->labelText();
                title = progress->windowTitle();
                progress->cancel();
            }
        });
        const int before = opened;
        dialog.findChild<QPushButton*>("dossierWindows")->click();
        QVERIFY(drawnMeanwhile);
        QCOMPARE(title.toStdString(), std::string(SourceChooser::ReadingCaption));
        QVERIFY(stepShown.contains("sample-xp"));
        QCOMPARE(chooser.Status(),
                 std::string(kReadingStopped) + " : la liste est restée comme avant.");
        QCOMPARE(chooser.RowCount(), 1);
        QVERIFY(opened - before <= 1); // stopped before any further reading
    }

    // A long copy of the mail shows its progress after a moment, with "Annuler", which stops
    // it; its end closes the progress window.
    void aLongCopyShowsItsProgressAndCanBeStopped() {
        gui::QtUi ui;
        QWidget owner;
        owner.show();
        ui.SetWindow(&owner);
        QVERIFY(!ui.Progress("Copie du courrier", 1, 10));
        QTest::qWait(600);
        QVERIFY(!ui.Progress("Copie du courrier", 2, 10));
        auto* progress = owner.findChild<QProgressDialog*>();
        QVERIFY(progress != nullptr && progress->isVisible());
        QCOMPARE(progress->labelText(), QString("Copie du courrier"));
        QVERIFY(progress->findChild<QPushButton*>()->text() == "Annuler");
        progress->cancel();
        QVERIFY(ui.Progress("Copie du courrier", 3, 10));
        QVERIFY(!ui.Progress("Copie du courrier", 10, 10));
        QVERIFY(owner.findChild<QProgressDialog*>() == nullptr);
    }

  private:
    static constexpr int kSlowOpenMs = 1500;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
