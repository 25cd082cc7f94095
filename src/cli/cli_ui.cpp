#include "cli/cli_ui.h"

#include "adapt/directory_chooser.h"
#include "cli/console_text.h"

#include <ostream>

namespace quillon::cli {

std::string ForConsole(std::string_view ansi) {
    std::string visible;
    for (char c : ansi) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') {
            constexpr char kHex[] = "0123456789ABCDEF";
            visible += {'\\', 'x', kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
        } else {
            visible += c;
        }
    }
    return AnsiForDisplay(visible);
}

CliUi::CliUi(std::ostream& err) : err_(err), steps_(StepsOnTerminal(err)) {}

bool CliUi::Progress(const std::string& title, std::uint64_t done, std::uint64_t total) {
    constexpr std::uint64_t kHundred = 100;
    if (!steps_) {
        return false;
    }
    if (done >= total) {
        steps_("");
        percentShown_ = -1;
        return false;
    }
    const int percent = static_cast<int>(done * kHundred / total);
    if (percent != percentShown_) {
        percentShown_ = percent;
        steps_(AnsiForDisplay(title) + " : " + std::to_string(percent) + " %");
    }
    return false;
}

Answer CliUi::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                         const std::string& title) {
    const char* kind = buttons == MessageButtons::YesNo   ? "question"
                       : icon == MessageIcon::Stop        ? "stop"
                       : icon == MessageIcon::Exclamation ? "exclamation"
                       : icon == MessageIcon::Information ? "information"
                                                          : "message";
    err_ << "[" << kind << "] " << ForConsole(title) << ": " << ForConsole(text) << "\n";
    if (buttons == MessageButtons::Ok) {
        return Answer::Ok;
    }
    err_ << "  -> " << (QuestionAnswer == Answer::Yes ? "Oui" : "Non") << "\n";
    return QuestionAnswer;
}

std::optional<std::string> CliUi::FileDialog(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> CliUi::FolderDialog(const std::string&, const std::string&) {
    return std::nullopt;
}

bool CliUi::HtmlHelp(bool, const std::string& path, std::uint32_t command, std::int32_t data) {
    if (command == HelpCommand::HelpContext && data != 0) {
        err_ << "aide : " << path << " (rubrique " << data << ")\n";
    }
    return false;
}

void CliUi::ShowDirectoryChooser(ChoixRepertSauve&) {}

bool CliUi::OpenWebAddress(const std::string& address) {
    err_ << "adresse : " << address << "\n";
    return true;
}

} // namespace quillon::cli
