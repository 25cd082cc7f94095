// Writes the mail client's files for the sample installations and the benches, laid out as the
// public descriptions of the formats give them: .dbx message folders (a tree of nodes, an index
// record and a chain of 512-byte blocks per message), folders lists (a record per folder: its
// number, its parent's, its kind of store and of special folder, its name and file, given in
// UTF-8 and stored in ANSI as the mail client stores them; FILE "-" for none), the other .dbx files
// (offline and POP3 lists: a header alone) and address books (.wab: the records of a text file
// in the form tools/wab_writer.h gives, or none).
//
//   quillon-make-mail-file messages OUT.dbx [MESSAGE.eml ...] [--filler COUNT SIZE]
//   quillon-make-mail-file folders OUT.dbx [--folder ID PARENT STORE SPECIAL NAME FILE ...]
//   quillon-make-mail-file offline|pop3 OUT.dbx
//   quillon-make-mail-file address-book OUT.wab [RECORDS.txt]
#include "dbx_writer.h"
#include "formats/dbx_layout.h"
#include "text/native_text.h"
#include "wab_writer.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillon;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return text.str();
}

std::string Filler(std::size_t number, std::size_t size) {
    std::string text = "From: remplissage@exemple.invalid\r\nSubject: Message " +
                       std::to_string(number) + "\r\n\r\n";
    const std::string line = "Ligne de remplissage pour les mesures de copie du courrier.\r\n";
    while (text.size() < size) {
        text += line;
    }
    text.resize(size);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        std::cerr << "usage: quillon-make-mail-file KIND OUT [MESSAGE ...] [--filler COUNT SIZE]\n";
        return 2;
    }
    std::string bytes;
    try {
        if (args[0] == "messages") {
            std::vector<std::string> messages;
            for (std::size_t i = 2; i < args.size(); ++i) {
                if (args[i] == "--filler" && i + 2 < args.size()) {
                    const std::size_t count = std::stoul(args[i + 1]);
                    for (std::size_t n = 0; n < count; ++n) {
                        messages.push_back(Filler(n + 1, std::stoul(args[i + 2])));
                    }
                    i += 2;
                    continue;
                }
                messages.push_back(Contents(args[i]));
            }
            bytes = tools::MessageFolder(messages);
        } else if (args[0] == "folders") {
            constexpr std::size_t kFolderWords = 7;
            std::vector<tools::FolderRow> folders;
            for (std::size_t i = 2; i + kFolderWords <= args.size() && args[i] == "--folder";
                 i += kFolderWords) {
                folders.push_back({static_cast<std::uint32_t>(std::stoul(args[i + 1])),
                                   static_cast<std::uint32_t>(std::stoul(args[i + 2])),
                                   static_cast<std::uint32_t>(std::stoul(args[i + 3])),
                                   static_cast<std::uint32_t>(std::stoul(args[i + 4])),
                                   Ansi(args[i + 5]), args[i + 6] == "-" ? "" : Ansi(args[i + 6])});
            }
            bytes = tools::FoldersList(folders);
        } else if (args[0] == "offline") {
            bytes = tools::HeaderOnly(dbx::kOfflineListKind);
        } else if (args[0] == "pop3") {
            bytes = tools::HeaderOnly(dbx::kPop3ListKind);
        } else if (args[0] == "address-book") {
            bytes = tools::AddressBookFile(args.size() > 2
                                               ? tools::WabRecordsFromText(Contents(args[2]))
                                               : std::vector<tools::WabRecordSpec>{});
        } else {
            std::cerr << "quillon-make-mail-file: unknown kind " << args[0] << "\n";
            return 2;
        }
    } catch (const std::exception& error) {
        std::cerr << "quillon-make-mail-file: " << error.what() << "\n";
        return 1;
    }
    std::ofstream out(args[1], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
