// Everything modal that the window's commands need from a face: message boxes, the common file
// dialog, the directory chooser, the help viewer, the browser, and ending the program. The Qt
// window, the command line and the tests each implement it. Texts are ANSI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

class ChoixRepertSauve;

enum class MessageIcon { None, Stop, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// The properties that the commands set on the common file dialog.
struct FileDialogRequest {
    enum class Form { Open, Save };
    Form Kind = Form::Save;
    std::string FileName; // proposed name
    std::string Title;
    std::string Filter;           // "description|pattern|description|pattern"
    int FilterIndex = 1;          // preselected filter, from 1
    std::string DefaultExtension; // without the dot
    std::string InitialFolder;
    bool OverwritePrompt = false; // ask before an existing file is taken
};

// The common dialog as every command of the window sets it for a backup file: a .reg or .txt
// file, "reg" added when no extension is typed, the filter of index `filterIndex` preselected.
FileDialogRequest BackupFileRequest(FileDialogRequest::Form kind, std::string title,
                                    int filterIndex);

// HtmlHelpA's commands.
namespace HelpCommand {
inline constexpr std::uint32_t DisplayTopic = 0x00;
inline constexpr std::uint32_t HelpContext = 0x0F;
inline constexpr std::uint32_t CloseAll = 0x12;
} // namespace HelpCommand

class Ui {
  public:
    virtual ~Ui() = default;

    virtual Answer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                              const std::string& title) = 0;
    // The chosen file (a native path), or nothing when the user cancelled.
    virtual std::optional<std::string> FileDialog(const FileDialogRequest& request) = 0;
    // HtmlHelpA: `ownedByWindow` is false for no owner. True when a help window was shown.
    virtual bool HtmlHelp(bool ownedByWindow, const std::string& path, std::uint32_t command,
                          std::int32_t data) = 0;
    // False when no browser could be started.
    virtual bool OpenWebAddress(const std::string& address) = 0;
    // Shows the directory chooser modally; its face forwards the user's choices to it.
    virtual void ShowDirectoryChooser(ChoixRepertSauve& chooser) = 0;
    // Lets the face redraw during a long command.
    virtual void KeepAlive() {}
    // A folder chosen by the user (a native path), starting in `initialFolder`, in which a new
    // folder can be made; nothing when the user cancelled.
    virtual std::optional<std::string> FolderDialog(const std::string& title,
                                                    const std::string& initialFolder) = 0;
    // Shows how far a long work is, with a Cancel button, modally; true once the user asked to
    // stop. Called again as the work goes on; `done` equal to `total` ends it.
    virtual bool Progress(const std::string& title, std::uint64_t done, std::uint64_t total) {
        (void)title, (void)done, (void)total;
        return false;
    }
    // Unloads the window and ends the program once the current handler returns.
    virtual void EndProgram() = 0;
};

} // namespace quillon
