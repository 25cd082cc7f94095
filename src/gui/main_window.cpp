#include "gui/main_window.h"

#include "gui/qt_text.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedLayout>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace quillon::gui {
namespace {

// Text boxes that only show what the program found.
bool IsReadOnly(const std::string& name) {
    return name == "CommentOnglet1" || name == "CommentOnglet2" || name == "CommentOnglet3";
}

} // namespace

MainWindow::MainWindow(Dialogue& dialogue, QWidget* parent) : QDialog(parent), dialogue_(dialogue) {
    setObjectName("Dialogue");
    setWindowTitle(FromAnsi(Dialogue::Caption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    for (Control* control : dialogue_.Controls()) {
        widgets_[control->Name()] = Create(*control);
    }
    BuildLayout();
    AddTabKeys();
    for (Control* control : dialogue_.Controls()) {
        Refresh(*control);
    }
    dialogue_.Subscribe([this](const Control& control) { Refresh(control); });
}

// The label that the model gives a text box, tied to it.
QLabel* MainWindow::Legend(const std::string& name) const {
    auto* label = new QLabel(FromAnsi(dialogue_.Find(name)->Caption()));
    label->setBuddy(Widget(name));
    return label;
}

QWidget* MainWindow::Widget(const std::string& name) const {
    const auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

// A label that the model lets the user click is drawn as a link.
bool MainWindow::IsLink(const Control& control) const {
    return control.ControlKind() == Control::Kind::Label && dialogue_.Clickable(control.Name());
}

QWidget* MainWindow::Create(Control& control) {
    const std::string name = control.Name();
    QWidget* widget = nullptr;
    switch (control.ControlKind()) {
    case Control::Kind::Button: {
        auto* button = new QPushButton(FromAnsi(control.Caption()), this);
        button->setAutoDefault(false);
        if (control.Caption().starts_with("?")) {
            button->setFixedWidth(button->fontMetrics().horizontalAdvance("???") + 16);
        }
        connect(button, &QPushButton::clicked, this, [this, name] { dialogue_.Click(name); });
        widget = button;
        break;
    }
    case Control::Kind::CheckBox: {
        auto* box = new QCheckBox(FromAnsi(control.Caption()), this);
        auto& model = static_cast<CheckBox&>(control);
        connect(box, &QCheckBox::clicked, this,
                [&model](bool checked) { model.SetValue(checked ? 1 : 0); });
        widget = box;
        break;
    }
    case Control::Kind::TextBox: {
        auto& model = static_cast<TextBox&>(control);
        if (name == "CommentOnglet3") {
            auto* text = new QPlainTextEdit(this);
            text->setReadOnly(true);
            text->setMaximumHeight(fontMetrics().lineSpacing() * 3 + 12);
            widget = text;
        } else {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(IsReadOnly(name));
            connect(edit, &QLineEdit::textEdited, this,
                    [&model](const QString& text) { model.SetText(ToAnsi(text)); });
            edit->installEventFilter(this);
            widget = edit;
        }
        break;
    }
    case Control::Kind::Label: {
        auto* label = new QLabel(this);
        label->setWordWrap(!IsLink(control) && name != "Label5");
        if (IsLink(control)) {
            label->setText("<a href=\"faq\">" + FromAnsi(control.Caption()).toHtmlEscaped() +
                           "</a>");
            connect(label, &QLabel::linkActivated, this, [this, name] { dialogue_.Click(name); });
        } else {
            label->setText(FromAnsi(control.Caption()));
        }
        widget = label;
        break;
    }
    case Control::Kind::Frame:
        widget = new QGroupBox(FromAnsi(control.Caption()), this);
        break;
    case Control::Kind::TabStrip: {
        auto* tabs = new QTabBar(this);
        const auto& strip = static_cast<TabStrip&>(control);
        for (const auto& tab : strip.Tabs()) {
            const int index = tabs->addTab(FromAnsi(tab.Caption));
            tabs->setTabToolTip(index, FromAnsi(tab.ToolTip));
        }
        connect(tabs, &QTabBar::currentChanged, this, [this](int index) {
            dialogue_.Onglets.Select(index + 1);
            dialogue_.Onglets_Click();
        });
        widget = tabs;
        break;
    }
    }
    widget->setObjectName(QString::fromStdString(name));
    if (!control.ToolTip().empty()) {
        widget->setToolTip(FromAnsi(control.ToolTip()));
    }
    return widget;
}

void MainWindow::Refresh(const Control& control) {
    QWidget* widget = Widget(control.Name());
    if (widget == nullptr) {
        return;
    }
    widget->setEnabled(control.Enabled());
    // The page shown is the first tab frame that the model makes visible.
    if (pages_ != nullptr && pages_->indexOf(widget) >= 0) {
        for (const Frame* frame : {&dialogue_.Onglet1, &dialogue_.Onglet2, &dialogue_.Onglet3}) {
            if (frame->Visible()) {
                pages_->setCurrentWidget(Widget(frame->Name()));
                break;
            }
        }
    }
    switch (control.ControlKind()) {
    case Control::Kind::Button:
        static_cast<QPushButton*>(widget)->setDefault(
            static_cast<const Button&>(control).IsDefault());
        break;
    case Control::Kind::CheckBox:
        static_cast<QCheckBox*>(widget)->setChecked(static_cast<const CheckBox&>(control).Value() ==
                                                    1);
        break;
    case Control::Kind::TextBox: {
        const QString text = FromAnsi(static_cast<const TextBox&>(control).Text());
        if (auto* edit = qobject_cast<QLineEdit*>(widget);
            edit != nullptr && edit->text() != text) {
            edit->setText(text);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
            plain->setPlainText(QString(text).replace("\r\n", "\n"));
        }
        break;
    }
    case Control::Kind::TabStrip: {
        auto* tabs = static_cast<QTabBar*>(widget);
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(static_cast<const TabStrip&>(control).SelectedIndex() - 1);
        break;
    }
    default:
        break;
    }
}

// Leaving one of the three folder fields for another control of this window checks that its
// folder exists; another application, a menu or a message box taking the focus does not. The
// check runs once the focus has moved, so that its message does not interrupt the move.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const std::string name = watched->objectName().toStdString();
            QTimer::singleShot(0, this, [this, name] { FolderFieldLeft(name); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::FolderFieldLeft(const std::string& name) {
    if (checkingFolder_) {
        return;
    }
    checkingFolder_ = true;
    dialogue_.LostFocus(name);
    checkingFolder_ = false;
}

// Ctrl+Tab and Ctrl+Page Down go to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up to the
// previous one, as in the tabbed dialogs of Windows; the tab bar tells the model.
void MainWindow::AddTabKeys() {
    auto* tabs = static_cast<QTabBar*>(Widget("Onglets"));
    const auto addKeys = [this, tabs](std::initializer_list<QKeySequence> keys, int step) {
        for (const QKeySequence& key : keys) {
            connect(new QShortcut(key, this), &QShortcut::activated, this, [tabs, step] {
                tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) %
                                      tabs->count());
            });
        }
    };
    addKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    addKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            -1);
}

// Escape does not end the program: only "Terminé" and the title bar do.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::BuildLayout() {
    // The three frames lie at the same place; the window keeps the size of the largest.
    pages_ = new QStackedLayout;
    for (QWidget* page : {Tab1(), Tab2(), Tab3()}) {
        pages_->addWidget(page);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Widget("Onglets"));
    layout->addLayout(pages_, 1);
    layout->addWidget(Outside());
    setMinimumWidth(700);
}

// One box a row from `row` on, the detail boxes (Check1_11 ...) indented under their master;
// returns the row after them.
int MainWindow::AddOptionBoxes(QGridLayout* grid, int row,
                               std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const bool detail = std::string(name).size() == 9;
        grid->addWidget(Widget(name), row++, detail ? 1 : 0, 1, detail ? 1 : 2);
    }
    return row;
}

// The end of the pages of tabs 1 and 2: the labels that point to help buttons, the box that
// copies the mail too and the one that writes it for today's clients (indented under it), the
// save button and the web address.
void MainWindow::AddPageEnd(QGridLayout* grid, int row,
                            std::initializer_list<std::pair<const char*, const char*>> helpRows,
                            const char* mail, const char* openFormats, const char* save,
                            const char* address, const char* profile) {
    for (const auto& [label, button] : helpRows) {
        grid->addWidget(Widget(label), row, 0, 1, 2);
        grid->addWidget(Widget(button), row++, 2, Qt::AlignLeft);
    }
    grid->addWidget(Widget(mail), row++, 0, 1, 3);
    grid->addWidget(Widget(openFormats), row++, 1, 1, 2);
    grid->addWidget(Widget(save), row++, 0, 1, 3);
    grid->addWidget(Widget(address), row, 0, 1, 2);
    grid->addWidget(Widget(profile), row, 2, Qt::AlignRight);
    grid->setColumnMinimumWidth(0, 24);
    grid->setColumnStretch(1, 1);
}

QWidget* MainWindow::Tab1() {
    auto* frame = static_cast<QGroupBox*>(Widget("Onglet1"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(Legend("CommentOnglet1"), 0, 0);
    grid->addWidget(Widget("CommentOnglet1"), 0, 1, 1, 2);
    grid->addWidget(Widget("Check1_9"), 1, 0, 1, 2);
    grid->addWidget(Widget("BoutonAide1100"), 1, 2, Qt::AlignLeft);
    int row =
        AddOptionBoxes(grid, 2,
                       {"Check1_1", "Check1_11", "Check1_12", "Check1_2", "Check1_21", "Check1_22",
                        "Check1_23", "Check1_3", "Check1_4", "Check1_5", "Check1_6"});
    grid->addWidget(Widget("BoutonAide1600"), row - 1, 2, Qt::AlignLeft);
    AddPageEnd(grid, row, {{"Label9", "BoutonAide1500"}, {"Label7", "BoutonAide1200"}},
               "CourrierAvec1", "CourrierOuvert1", "BoutonSauvegarder1", "Label12",
               "BoutonProfil1");
    return frame;
}

QWidget* MainWindow::Tab2() {
    auto* frame = static_cast<QGroupBox*>(Widget("Onglet2"));
    auto* hive = static_cast<QGroupBox*>(Widget("Frame2"));
    auto* form = new QGridLayout(hive);
    form->addWidget(Legend("NomAutre"), 0, 0);
    form->addWidget(Widget("NomAutre"), 0, 1);
    form->addWidget(Widget("BoutonRechercherAutre"), 0, 2);
    form->addWidget(Widget("BoutonAide2200"), 0, 3);
    form->addWidget(Legend("IdentiteAutre"), 1, 0);
    form->addWidget(Widget("IdentiteAutre"), 1, 1, 1, 3);
    form->addWidget(Legend("RepertoireAutre"), 2, 0);
    form->addWidget(Widget("RepertoireAutre"), 2, 1, 1, 3);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(Legend("CommentOnglet2"), 0, 0);
    grid->addWidget(Widget("CommentOnglet2"), 0, 1, 1, 2);
    grid->addWidget(hive, 1, 0, 1, 3);
    grid->addWidget(Widget("Check2_9"), 2, 0, 1, 2);
    grid->addWidget(Widget("BoutonAide2100"), 2, 2, Qt::AlignLeft);
    const int row = AddOptionBoxes(grid, 3,
                                   {"Check2_1", "Check2_11", "Check2_12", "Check2_2", "Check2_21",
                                    "Check2_22", "Check2_23", "Check2_3", "Check2_4", "Check2_5"});
    AddPageEnd(grid, row, {{"Label6", "BoutonAide2500"}, {"Label11", "BoutonAide2000"}},
               "CourrierAvec2", "CourrierOuvert2", "BoutonSauvegarder2", "Label4", "BoutonProfil2");
    return frame;
}

QWidget* MainWindow::Tab3() {
    auto* frame = static_cast<QGroupBox*>(Widget("Onglet3"));
    auto* read = static_cast<QGroupBox*>(Widget("Frame5"));
    auto* readForm = new QFormLayout(read);
    readForm->addRow(Legend("IdentiteFichier"), Widget("IdentiteFichier"));
    readForm->addRow(Legend("TexteGroupeLu"), Widget("TexteGroupeLu"));
    readForm->addRow(Legend("RepertoireLu"), Widget("RepertoireLu"));

    auto* open = new QHBoxLayout;
    open->addWidget(Widget("OuvrirSauvegarde"), 1);
    open->addWidget(Widget("BoutonAide3000"));
    auto* folder = new QHBoxLayout;
    folder->addWidget(Widget("RepertoireChoisi"), 1);
    folder->addWidget(Widget("ChoixRepertoireSauvegarde"));
    auto* form = new QFormLayout;
    form->addRow(Legend("TexteGroupeActif"), Widget("TexteGroupeActif"));
    form->addRow(Legend("CarnetLu"), Widget("CarnetLu"));
    form->addRow(Legend("CarnetFutur"), Widget("CarnetFutur"));

    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(open);
    layout->addWidget(read);
    layout->addWidget(Widget("Label3"));
    layout->addLayout(folder);
    layout->addLayout(form);
    layout->addWidget(Widget("BoutonChangerF"));
    layout->addWidget(Widget("CourrierPlace"));
    layout->addWidget(Widget("BoutonEnregistrerSauvegarde"));
    layout->addWidget(Widget("CommentOnglet3"));
    auto* end = new QHBoxLayout;
    end->addWidget(Widget("Label10"), 1);
    end->addWidget(Widget("BoutonConvertir3"));
    layout->addLayout(end);
    layout->addStretch(1);
    return frame;
}

QWidget* MainWindow::Outside() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Legend("IdentiteCourante"), 0, 0);
    grid->addWidget(Widget("IdentiteCourante"), 0, 1, 1, 4);
    grid->addWidget(Legend("RepertoireCourant"), 1, 0);
    grid->addWidget(Widget("RepertoireCourant"), 1, 1, 1, 4);
    grid->addWidget(Widget("Label5"), 2, 0, 1, 2);
    grid->addWidget(Widget("BoutonAide9000"), 2, 2);
    grid->addWidget(Widget("BoutonAide9100"), 2, 3);
    grid->addWidget(Widget("FiniButton"), 2, 4, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    return box;
}

} // namespace quillon::gui
