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

bool CopyAccountLines(const std::string& temporary, RegFile& out,
                      const std::optional<AccountsRewrite>& rewrite, FileError& error) {
    std::vector<std::string> lines;
    if (!ReadLines(temporary, lines, error)) {
        return false;
    }
    out.WriteHeaderOnce();
    for (const std::string& line : lines) {
        if (!line.starts_with("REGEDIT")) {
            out.WriteLine(rewrite ? ReplaceAll(line, rewrite->From, rewrite->To) : line);
        }
    }
    if (lines.empty() || !lines.back().starts_with("        ")) {
        out.WriteLine("     ");
    }
    return out.Flush(error);
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
