#include "gui/qt_ui.h"

#include "app/dialogue.h"
#include "gui/chooser_dialog.h"
#include "gui/qt_text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTranslator>
#include <QUrl>
#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon::gui {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

bool LoadFrenchTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  QString("/usr/share/qt6/translations"),
                                  QCoreApplication::applicationDirPath() + "/translations"}) {
        if (translator->load("qtbase_fr", folder)) {
            return QApplication::installTranslator(translator);
        }
    }
    return false;
}

void QtUi::CaptureMessages(const QString& folder, const QString& work) {
    captureFolder_ = folder;
    captureWork_ = work;
}

Answer QtUi::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) {
    QMessageBox box(IconOf(icon), FromAnsi(title), FromAnsi(text),
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    window_);
    if (!captureFolder_.isEmpty()) {
        box.show();
        QCoreApplication::processEvents();
        box.grab().save(captureFolder_ + QString("/message-%1.png").arg(++captured_));
        return buttons == MessageButtons::YesNo ? Answer::Yes : Answer::Ok;
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok) {
        return Answer::Ok;
    }
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtUi::FileDialog(const FileDialogRequest& request) {
    if (!captureWork_.isEmpty()) {
        return ToNative(captureWork_ + "/" + FromAnsi(request.FileName) + ".reg");
    }
    QFileDialog dialog(window_, FromAnsi(request.Title));
    const bool save = request.Kind == FileDialogRequest::Form::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(FromAnsi(request.DefaultExtension));
    const QStringList filters = NameFilters(FromAnsi(request.Filter));
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    }
    const QString folder = FromAnsi(request.InitialFolder);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        dialog.setDirectory(folder);
    }
    if (!request.FileName.empty()) {
        dialog.selectFile(FromAnsi(request.FileName));
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToNative(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

std::optional<std::string> QtUi::FolderDialog(const std::string& title,
                                              const std::string& initialFolder) {
    if (!captureWork_.isEmpty()) {
        // A new folder each time: the mail's copy, then the profile.
        return ToNative(captureWork_ + QString("/Dossier%1").arg(++foldersGiven_));
    }
    const QString folder =
        QFileDialog::getExistingDirectory(window_, FromAnsi(title), FromNative(initialFolder));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return ToNative(QDir::toNativeSeparators(folder));
}

bool QtUi::Progress(const std::string& title, std::uint64_t done, std::uint64_t total) {
    // The bar counts in thousandths: QProgressDialog takes int, files may be larger.
    constexpr int kSteps = 1000;
    if (done >= total) {
        progress_.reset();
        return false;
    }
    if (!progress_) {
        progress_ = std::make_unique<QProgressDialog>(FromAnsi(title), QString("Annuler"), 0,
                                                      kSteps, window_);
        progress_->setWindowTitle(FromAnsi(title));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(400);
    }
    progress_->setValue(static_cast<int>(done * kSteps / total));
    QCoreApplication::processEvents();
    return progress_->wasCanceled();
}

QtUi::QtUi() = default;
QtUi::~QtUi() = default;

// On Windows, HtmlHelpA of hhctrl.ocx; elsewhere each context is a page of the help folder,
// shown by the browser (which has no windows of ours to close).
bool QtUi::HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                    std::int32_t data) {
#ifdef _WIN32
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    const auto htmlHelp = library != nullptr
                              ? reinterpret_cast<HtmlHelpFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")))
                              : nullptr;
    if (htmlHelp == nullptr) {
        return false;
    }
    HWND owner =
        ownedByWindow && window_ != nullptr ? reinterpret_cast<HWND>(window_->winId()) : nullptr;
    return htmlHelp(owner, path.c_str(), command, static_cast<DWORD_PTR>(data)) != nullptr;
#else
    (void)ownedByWindow;
    if (command == HelpCommand::CloseAll) {
        return true;
    }
    const int topic = command == HelpCommand::HelpContext && data != 0 ? data : 9000;
    const QString page = FromNative(path) + "/" + QString::number(topic) + ".html";
    return QFileInfo::exists(page) && QDesktopServices::openUrl(QUrl::fromLocalFile(page));
#endif
}

bool QtUi::OpenWebAddress(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(FromAnsi(address)));
}

void QtUi::ShowDirectoryChooser(ChoixRepertSauve& chooser) {
    ChooserDialog dialog(chooser, window_);
    dialog.exec();
}

void QtUi::KeepAlive() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::EndProgram() {
    if (window_ != nullptr) {
        window_->close();
    }
    QCoreApplication::exit(0);
}

} // namespace quillon::gui
