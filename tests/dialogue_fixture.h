// The window's model as every test drives it: a registry in memory, a Ui that records every call
// in order and answers from a script, and the Dialogue over them.
#pragma once

#include "adapt/directory_chooser.h"
#include "app/dialogue.h"
#include "app/ui_port.h"
#include "stores/memory_store.h"
#include "text/ansi_codepage.h"

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::test {

class FakeUi : public Ui {
  public:
    struct Message {
        std::string Text; // UTF-8, for readable assertions
        MessageIcon Icon;
        std::string Title;
    };

    Answer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                      const std::string& title) override {
        messages.push_back({AnsiToUtf8(text), icon, AnsiToUtf8(title)});
        calls.push_back("message: " + AnsiToUtf8(text));
        if (buttons == MessageButtons::Ok) {
            return Answer::Ok;
        }
        const Answer answer = answers.empty() ? Answer::No : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }

    std::optional<std::string> FileDialog(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        calls.push_back("file dialog: " + AnsiToUtf8(request.Title));
        std::optional<std::string> file;
        if (!files.empty()) {
            file = files.front();
            files.pop_front();
        }
        return file;
    }

    std::optional<std::string> FolderDialog(const std::string& title,
                                            const std::string& initialFolder) override {
        calls.push_back("folder dialog: " + AnsiToUtf8(title) + " in " + initialFolder);
        std::optional<std::string> folder;
        if (!folders.empty()) {
            folder = folders.front();
            folders.pop_front();
        }
        return folder;
    }

    bool HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                  std::int32_t data) override {
        calls.push_back("help: " + std::string(ownedByWindow ? "owned" : "no owner") + " " + path +
                        " " + std::to_string(command) + " " + std::to_string(data));
        if (helpThrows) {
            throw std::runtime_error("no help viewer");
        }
        return helpShows;
    }

    bool OpenWebAddress(const std::string& address) override {
        calls.push_back("web: " + address);
        return browserStarts;
    }
    void ShowDirectoryChooser(ChoixRepertSauve& chooser) override {
        calls.push_back("chooser");
        if (chooserScript) {
            chooserScript(chooser);
        }
    }
    void EndProgram() override { calls.push_back("end"); }

    // "title | text" of each message box, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& message : messages) {
            texts.push_back(message.Title + " | " + message.Text);
        }
        return texts;
    }

    std::vector<std::string> calls;
    std::vector<Message> messages;
    std::vector<FileDialogRequest> dialogs;
    std::deque<Answer> answers;                     // for Yes/No questions; No when empty
    std::deque<std::optional<std::string>> files;   // for file dialogs; cancelled when empty
    std::deque<std::optional<std::string>> folders; // for folder dialogs; cancelled when empty
    bool helpShows = true;
    bool helpThrows = false;
    bool browserStarts = true;
    std::function<void(ChoixRepertSauve&)> chooserScript; // what the user does in the chooser
};

// A store, the registry over it, the fake Ui, and the Dialogue once launched.
struct DialogueRig {
    // Creates the Dialogue, dated as the expected files are, for a face to be built on it.
    Dialogue& Create(const std::string& programFolder = ".") {
        dialogue.emplace(registry, ui, programFolder);
        dialogue->TodayText = [] { return std::string("2026 12 05"); };
        return *dialogue;
    }
    // Creates the Dialogue and runs its start-up.
    Dialogue& Launch(const std::string& programFolder = ".") {
        Create(programFolder).Form_Load();
        return *dialogue;
    }

    MemoryStore store;
    Reg_access registry{store};
    FakeUi ui;
    std::optional<Dialogue> dialogue;
};

} // namespace quillon::test
