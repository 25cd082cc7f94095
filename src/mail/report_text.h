// The pieces the mail's reports share, in ANSI French: a name between guillemets, a file that
// could not be written, the problems met, how many messages were written.
#pragma once

#include "files/file_error.h"
#include "text/native_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

inline std::string Quoted(std::string_view ansi) {
    return Ansi("« ") + std::string(ansi) + Ansi(" »");
}

inline std::string WriteFailedText(const FileError& error) {
    return Ansi("Impossible d'écrire ") + Quoted(NativeToAnsi(error.Path)) + Ansi(" : ") +
           Ansi(error.Reason()) + Ansi(". Rien n'a été écrit.");
}

// Each problem on a line of its own after `text`.
inline void AddProblems(std::string& text, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        text.append("\n").append(Ansi("Attention : ")).append(problem);
    }
}

} // namespace quillon
