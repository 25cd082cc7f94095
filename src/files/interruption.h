// What an interruption (Ctrl+C, closing the terminal or console, a request to end) undoes
// before the program ends: the temporary files that exist at that moment are deleted, the
// folders made for the work removed, and a file being appended to is put back to the length it
// had. A file that reaches the size limit (SIGXFSZ) fails its write instead of ending it.
#pragma once

#include <cstdint>
#include <string>
#ifndef _WIN32
#include <csignal>
#endif

namespace quillon::interruption {

// From now on, an interruption undoes what is registered below.
void UndoOnInterrupt();

// A registration of a path, to undo it without a search among thousands.
using PathTicket = const void*;
// A temporary file to delete if the program is interrupted while it exists.
PathTicket TrackTemporary(const std::string& path);
void UntrackTemporary(const std::string& path);
// A folder made for the work, to remove (when empty) if the program is interrupted.
PathTicket TrackFolder(const std::string& path);
void UntrackFolder(const std::string& path);
// A folder made for the work, to remove with all it holds if the program is interrupted (links
// in it are removed, never followed): its files need no registration of their own.
PathTicket TrackTree(const std::string& path);
// Removes such a folder with all it holds now, in the same way.
void RemoveTree(const std::string& path);
void Untrack(PathTicket ticket);

// A file open for appending, through its system descriptor (a handle on Windows), to cut back
// to `length` bytes if the program is interrupted; the ticket given undoes the registration
// (a negative one when there was no room: the append is then not undone).
int TrackAppend(std::intptr_t descriptor, std::uintmax_t length);
void UntrackAppend(int ticket);

// Holds back the signals that end the program while it lives; they arrive when it goes. Made
// around a step that an interruption must not split (a file and its registration).
class SignalsHeld {
  public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
#ifndef _WIN32
    sigset_t before_{};
#endif
};

} // namespace quillon::interruption
