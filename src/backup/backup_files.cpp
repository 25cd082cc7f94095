#include "backup/backup_files.h"

#include "files/input_file.h"
#include "files/output_file.h"
#include "files/temp_file.h"
#include "files/text_lines.h"

#include <cerrno>
#include <filesystem>

namespace quillon {
namespace {

void WriteLine(OutputFile& out, std::string_view line) {
    out.Write(line);
    out.Write(LineEnd);
}

} // namespace

bool CopyAccountLines(const std::string& temporary, const std::string& output, bool create,
                      const std::optional<AccountsRewrite>& rewrite, FileError& error) {
    std::vector<std::string> lines;
    if (!ReadLines(temporary, lines, error)) {
        return false;
    }
    OutputFile out;
    if (!out.Open(output, create ? OutputFile::Mode::Create : OutputFile::Mode::Append, error)) {
        return false;
    }
    // A new backup begins with its header even when the rewrite drops the accounts' own.
    if (create && rewrite) {
        WriteLine(out, "REGEDIT4");
    }
    for (const std::string& line : lines) {
        if (!rewrite) {
            WriteLine(out, line);
        } else if (!line.starts_with("REGEDIT")) {
            WriteLine(out, ReplaceAll(line, rewrite->From, rewrite->To));
        }
    }
    if (lines.empty() || !lines.back().starts_with("        ")) {
        WriteLine(out, "     ");
    }
    return out.Close(error);
}

bool RewriteForCurrentUser(const TemporaryFile& file, const std::string& prefix,
                           std::int32_t& lines, FileError& error) {
    std::vector<std::string> content;
    if (!ReadLines(file.Path(), content, error)) {
        return false;
    }
    OutputFile out;
    if (!out.Open(file, error)) {
        return false;
    }
    const std::string search = "HKEY_LOCAL_MACHINE\\" + prefix;
    for (const std::string& line : content) {
        WriteLine(out, ReplaceAll(line, search, "HKEY_CURRENT_USER\\"));
    }
    if (!out.Close(error)) {
        return false;
    }
    lines = static_cast<std::int32_t>(content.size());
    return true;
}

} // namespace quillon
