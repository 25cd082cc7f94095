// What the window reads, asked before it opens when it has nothing to read: no registry was
// given, and the default one (the Wine prefix on Linux, the running system's on Windows) holds
// no mail client that the window can open. The user points at a Windows folder of an old disk,
// a disk image, a Wine prefix (Linux) or registry files; on Windows the drives that hold an
// old installation are listed first. Their installations and users are listed as the command
// line's `list` lists them, and the user picks one. Nothing of it is kept between runs.
// Toolkit-free: a face draws it and forwards the user's choices. Texts are UTF-8; paths are the
// system's.
#pragma once

#include "app/registry_commands.h"

#include <functional>
#include <string>
#include <vector>

namespace quillon {

class SourceChooser {
  public:
    enum class Source { WindowsFolder, DiskImage, WinePrefix, RegistryFile };
#ifdef _WIN32
    // Disk images are read by the Linux build; Wine prefixes are Linux's.
    static constexpr Source kSources[] = {Source::WindowsFolder, Source::RegistryFile};
#else
    static constexpr Source kSources[] = {Source::WindowsFolder, Source::DiskImage,
                                          Source::WinePrefix, Source::RegistryFile};
#endif

    // The system dialog that asks for a source's folder or file.
    struct PathRequest {
        enum class Form { Folder, File };
        Form Kind = Form::Folder;
        std::string Title;
        std::string Filter; // for a file: "description|pattern;pattern|description|pattern"
    };

    // Adds one registry file to the sources of `options`; false with a French `error`.
    using FileAdder =
        std::function<bool(const std::string& path, StoreOptions& options, std::string& error)>;

    SourceChooser(StoreOpener open, FileAdder addFile, std::string programFolder);

    static const char* const Caption;
    static const char* const Prompt;
    static const char* const OpenCaption;
    static const char* const QuitCaption;
    // The window that shows a reading's steps, with its button to stop it.
    static const char* const ReadingCaption;
    static const char* const StopCaption;
    static const std::vector<std::string>& Columns();
    static std::string SourceCaption(Source source);
    static std::string SourceTooltip(Source source);
    static PathRequest RequestFor(Source source);

    // True when the window must ask before it opens: `given` names no registry, and the default
    // one, already `opened` (nullptr when it could not be), has no mail client that the window
    // can open. Says so in Status().
    bool MustAsk(const StoreOptions& given, RegistryStore* opened);

    // The user chose `path` in the dialog of RequestFor(source): lists what it holds. A registry
    // file is added to the files read before it; any other source replaces what was read. What
    // cannot be read, or a reading that `report` stops, is said in Status() and leaves the list
    // as it was. A face may run it on another thread, touching nothing of this object until it
    // returns, and tell the user each step that `report` receives.
    void Read(Source source, const std::string& path, const StepReport& report = {});
    // Lists the installations on those of `drives` (roots, "E:\\") that hold a Windows folder
    // or a folder of profiles: the old disks plugged into this system, offered first.
    void ReadDrives(const std::vector<std::string>& drives, const StepReport& report = {});

    // What is being read, one line; empty before the first choice.
    const std::string& Reading() const {
        return reading_;
    }
    int RowCount() const {
        return static_cast<int>(rows_.size());
    }
    std::vector<std::string> Cells(int row) const; // one text per column
    bool CanOpen(int row) const;                   // the window can start on it
    void Select(int row);
    int Selected() const {
        return selected_;
    } // -1: none
    bool OpenEnabled() const {
        return selected_ >= 0 && CanOpen(selected_);
    }
    // Why nothing can be opened, what to do next, or what the selected row is.
    const std::string& Status() const {
        return status_;
    }
    // What opens the selected row's registry alone (when OpenEnabled()).
    const StoreOptions& Chosen() const {
        return rows_.at(selected_).Options;
    }

  private:
    void ShowListed();

    StoreOpener open_;
    FileAdder addFile_;
    std::string programFolder_;
    std::vector<InstallationRow> rows_;
    int selected_ = -1;
    std::string reading_;
    std::string status_;
    StoreOptions files_; // the registry files read so far
};

} // namespace quillon
