// The Qt window over the model, on the offscreen platform, with the fake Ui for everything
// modal: every control drawn with its caption and tooltip, and every event reaching the model.
#include "../dialogue_fixture.h"
#include "../folder_tree.h"
#include "app/dialogue.h"
#include "gui/chooser_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "stores/offline/offline_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

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
        store = std::make_unique<MemoryStore>();
        std::string error;
        std::vector<std::string> warnings;
        QVERIFY2(
            MountAll(*store,
                     {{{Mount::Kind::Windows, "", std::string(QUILLON_SAMPLES "/sample-xp")}}, ""},
                     warnings, error),
            error.c_str());
        registry = std::make_unique<Reg_access>(*store);
        ui = std::make_unique<test::FakeUi>();
        dialogue = std::make_unique<Dialogue>(*registry, *ui, ".");
        window = std::make_unique<gui::MainWindow>(*dialogue);
        dialogue->Form_Load();
        window->show();
    }
    template <typename T> T* W(const char* name) { return qobject_cast<T*>(window->Widget(name)); }
    void ShowTab(int index) {
        W<QTabBar>("Onglets")->setCurrentIndex(index - 1);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<MemoryStore> store;
    std::unique_ptr<Reg_access> registry;
    std::unique_ptr<test::FakeUi> ui;
    std::unique_ptr<Dialogue> dialogue;
    std::unique_ptr<gui::MainWindow> window;
    QTemporaryDir folder;

  private slots:
    void standardButtonsSpeakFrench() {
        QVERIFY(gui::LoadFrenchTranslations(*qApp));
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString("Non"));
    }

    void everyControlIsDrawnWithItsCaptionAndTooltip() {
        Open();
        QCOMPARE(window->windowTitle(), QString("Quillon 2.5       "));
        for (Control* control : dialogue->Controls()) {
            QWidget* widget = window->findChild<QWidget*>(QString::fromStdString(control->Name()));
            QVERIFY2(widget != nullptr, control->Name().c_str());
            QCOMPARE(widget->toolTip(), gui::FromAnsi(control->ToolTip()));
            if (!control->Caption().empty() && control->ControlKind() != Control::Kind::TextBox) {
                QVERIFY2(Text(widget).contains(gui::FromAnsi(control->Caption()).toHtmlEscaped()) ||
                             Text(widget) == gui::FromAnsi(control->Caption()),
                         control->Name().c_str());
            }
            if (auto* box = qobject_cast<QCheckBox*>(widget)) {
                QCOMPARE(box->isChecked(), static_cast<const CheckBox*>(control)->Value() == 1);
            }
        }
        auto* tabs = W<QTabBar>("Onglets");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(2), QString("    Adapter le fichier de sauvegarde        "));
        QCOMPARE(tabs->tabToolTip(1),
                 QString("Récupérer des paramètres OE d'une autre base de registre"));
        QCOMPARE(W<QLineEdit>("IdentiteCourante")->text(),
                 QString("{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}"));
    }

    // A click goes into the model, and what the model changes in turn reaches the screen.
    void mastersTickOnScreen() {
        Open();
        ShowTab(2);
        W<QCheckBox>("Check2_1")->click();
        QVERIFY(W<QCheckBox>("Check2_12")->isChecked());
        W<QCheckBox>("Check2_1")->click();
        QVERIFY(!W<QCheckBox>("Check2_12")->isChecked());
        QCOMPARE(dialogue->Check2_11.Value(), 0);
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

    void buttonsReachTheirHandlers() {
        Open();
        QTest::mouseClick(W<QPushButton>("BoutonSauvegarder1"), Qt::LeftButton);
        QCOMPARE(ui->dialogs.size(), std::size_t{1});
        QCOMPARE(ui->messages.back().Text,
                 std::string("Sauvegarde non effectuée, pas de fichier indiqué"));
        QTest::mouseClick(W<QPushButton>("BoutonAide1200"), Qt::LeftButton);
        QVERIFY(ui->calls.back().ends_with(" 15 2000"));
        QTest::mouseClick(W<QPushButton>("FiniButton"), Qt::LeftButton);
        QCOMPARE(ui->calls.back(), std::string("end"));
        // Every button of the window has a handler in the model.
        for (Control* control : dialogue->Controls()) {
            if (control->ControlKind() == Control::Kind::Button) {
                QVERIFY2(dialogue->Click(control->Name()), control->Name().c_str());
            }
        }
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

    // Over an installation read offline, the chooser lists that installation's folders and
    // hands back Windows paths.
    void theChooserBrowsesTheInstallationRead() {
        QVERIFY(QDir(folder.path()).mkpath("Documents and Settings/Luc"));
        InstallationPaths disk;
        disk.AddDrive('C', gui::ToAnsi(folder.path()));
        std::string r;
        ChoixRepertSauve chooser(
            r, disk.Drives(), [](auto&) { return true; }, &disk);
        gui::ChooserDialog dialog(chooser, nullptr);
        QCOMPARE(dialog.findChild<QComboBox*>("DriveRepert2")->currentText(), QString("C:\\"));
        auto* list = dialog.findChild<QListView*>("DirRepert2");
        QModelIndex documents;
        QTRY_VERIFY((documents = list->model()->index(0, 0, list->rootIndex())).isValid());
        for (int row = 0; documents.data().toString() != "Documents and Settings"; ++row) {
            documents = list->model()->index(row, 0, list->rootIndex());
        }
        emit list->activated(documents);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Repert2OK"), Qt::LeftButton);
        QCOMPARE(r, std::string("C:\\Documents and Settings"));
    }

    // A drive inside a disk image: the chooser lists its folders from the image.
    void theChooserBrowsesAnImage() {
        InstallationPaths disk;
        disk.AddDrive('D', std::make_shared<test::FolderTree>(
                               std::vector<std::string>{"Mail", "Mail/Luc", "Autre"}));
        std::string r;
        ChoixRepertSauve chooser(
            r, disk.Drives(), [](auto&) { return true; }, &disk);
        gui::ChooserDialog dialog(chooser, nullptr);
        auto* list = dialog.findChild<QListView*>("DirRepert2");
        const auto open = [&](const QString& name) {
            const QModelIndexList found =
                list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name);
            QVERIFY2(!found.isEmpty(), qPrintable(name));
            emit list->activated(found.first());
        };
        QCOMPARE(list->model()->rowCount(), 2);
        open("Mail");
        open("Luc");
        QTest::mouseClick(dialog.findChild<QPushButton*>("Repert2OK"), Qt::LeftButton);
        QCOMPARE(r, std::string("D:\\Mail\\Luc"));
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
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
