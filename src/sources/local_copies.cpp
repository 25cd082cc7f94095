#include "sources/local_copies.h"

#include "files/output_file.h"
#include "files/text_lines.h"

namespace quillon {

std::optional<TemporaryFile> PrivateCopyOf(std::string_view bytes, FileError& error) {
    std::optional<TemporaryFile> copy = TemporaryFile::Create(error);
    OutputFile out;
    if (!copy || !out.Open(*copy, error) || (out.Write(bytes), !out.Close(error))) {
        return std::nullopt;
    }
    return copy;
}

std::string LocalCopies::PathOf(const std::string& file, std::string& error) {
    if (std::optional<std::string> local = tree_.LocalPath(file)) {
        return *local;
    }
    std::string bytes;
    FileError fileError;
    if (!tree_.Read(file, bytes, fileError)) {
        error = "Impossible de lire « " + tree_.Shown(file) + " » : " + fileError.Reason();
        return {};
    }
    std::optional<TemporaryFile> copy = PrivateCopyOf(bytes, fileError);
    if (!copy) {
        error = "Impossible de copier « " + tree_.Shown(file) + " » dans « " + fileError.Path +
                " » : " + fileError.Reason();
        return {};
    }
    return copies_.emplace(file, std::move(*copy)).first->second.Path();
}

std::string LocalCopies::Shown(std::string text) const {
    for (const auto& [file, copy] : copies_) {
        text = ReplaceAll(text, copy.Path(), tree_.Shown(file));
    }
    return text;
}

} // namespace quillon
