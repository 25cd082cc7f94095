// The command line's Ui: message boxes go to stderr as "[icon] title: text", questions and
// file dialogs are answered from the command's arguments, help and links are printed.
#pragma once

#include "app/ui_port.h"

#include <functional>
#include <iosfwd>

namespace quillon::cli {

class CliUi : public Ui {
  public:
    explicit CliUi(std::ostream& err);

    Answer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                      const std::string& title) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> FolderDialog(const std::string& title,
                                            const std::string& initialFolder) override;
    bool HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                  std::int32_t data) override;
    bool OpenWebAddress(const std::string& address) override;
    // On a terminal, "title : N %" on one line of stderr, cleared at the end.
    bool Progress(const std::string& title, std::uint64_t done, std::uint64_t total) override;
    void EndProgram() override {}
    // The command line picks folders from its arguments: the chooser closes at once.
    void ShowDirectoryChooser(ChoixRepertSauve& chooser) override;

    // The text of the last message box (ANSI), and how many were shown.
    const std::string& LastMessage() const { return lastMessage_; }
    int MessageCount() const { return messageCount_; }

    // The answer to Yes/No questions, and the file and folder that dialogs return (none:
    // cancelled).
    Answer QuestionAnswer = Answer::No;
    std::optional<std::string> DialogFile;
    std::optional<std::string> DialogFolder;

  private:
    std::ostream& err_;
    std::function<void(const std::string&)> steps_;
    int percentShown_ = -1;
    std::string lastMessage_;
    int messageCount_ = 0;
};

// ANSI text for the console, with control characters other than line ends made visible.
std::string ForConsole(std::string_view ansi);

} // namespace quillon::cli
