// The command line's Ui: message boxes go to stderr as "[icon] title: text", questions are
// answered from the command's arguments, help and links are printed. Files and folders are
// given to the operations as arguments: a dialog asked for anyway is cancelled.
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

    // The answer to Yes/No questions.
    Answer QuestionAnswer = Answer::No;

  private:
    std::ostream& err_;
    std::function<void(const std::string&)> steps_;
    int percentShown_ = -1;
};

// ANSI text for the console, with control characters other than line ends made visible.
std::string ForConsole(std::string_view ansi);

} // namespace quillon::cli
