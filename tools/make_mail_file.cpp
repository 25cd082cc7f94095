// Writes the mail client's files for the sample installations and the benches, laid out as the
// public descriptions of the formats give them: .dbx message folders (header, one tree node, an
// index record and a chain of 512-byte blocks per message), the other .dbx files (folders list,
// offline and POP3 lists: a header alone) and an address book (.wab: its header).
//
//   quillon-make-mail-file messages OUT.dbx [MESSAGE.eml ...] [--filler COUNT SIZE]
//   quillon-make-mail-file folders|offline|pop3 OUT.dbx
//   quillon-make-mail-file address-book OUT.wab
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kHeaderSize = 0x24BC;
constexpr std::uint32_t kFileInfoSize = 0x618;
constexpr std::uint32_t kTreeNodeSize = 0x27C;
constexpr std::uint32_t kMostEntriesPerNode = 51;
constexpr std::uint32_t kBlockData = 0x200;
constexpr std::uint32_t kBlockHeader = 16;

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

std::string Header(std::uint32_t kind) {
    std::string header(kHeaderSize, '\0');
    Put32(header, 0, 0xFE12ADCF);
    Put32(header, 4, kind);
    Put32(header, 8, 0x11D1E366);
    Put32(header, 12, 0xC0004E9A);
    Put32(header, 0x1C, kFileInfoSize);
    return header;
}

// The value of a header line of the message ("Subject: ..."), or "".
std::string HeaderLine(const std::string& message, const std::string& name) {
    std::istringstream lines(message);
    for (std::string line; std::getline(lines, line) && line != "\r" && !line.empty();) {
        if (line.rfind(name + ": ", 0) == 0) {
            std::string value = line.substr(name.size() + 2);
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            return value;
        }
    }
    return {};
}

std::string MessageFolder(const std::vector<std::string>& messages) {
    if (messages.size() > kMostEntriesPerNode) {
        throw std::runtime_error("too many messages for one tree node");
    }
    std::string file = Header(0x6F74FDC5);
    file.append(kFileInfoSize, '\0');
    const std::uint32_t node = static_cast<std::uint32_t>(file.size());
    file.append(kTreeNodeSize, '\0');
    Put32(file, node, node);
    file[node + 17] = static_cast<char>(messages.size());
    Put32(file, 0xC4, static_cast<std::uint32_t>(messages.size()));
    Put32(file, 0xE4, messages.empty() ? 0 : node);
    for (std::size_t m = 0; m < messages.size(); ++m) {
        // The message's text, in blocks chained by their headers.
        const std::string& text = messages[m];
        const std::uint32_t first = static_cast<std::uint32_t>(file.size());
        for (std::size_t done = 0; done < text.size(); done += kBlockData) {
            const std::uint32_t at = static_cast<std::uint32_t>(file.size());
            const std::size_t length = std::min<std::size_t>(kBlockData, text.size() - done);
            file.append(kBlockHeader + kBlockData, '\0');
            Put32(file, at, at);
            Put32(file, at + 4, kBlockData);
            Put32(file, at + 8, static_cast<std::uint32_t>(length));
            const bool last = done + kBlockData >= text.size();
            Put32(file, at + 12, last ? 0 : at + kBlockHeader + kBlockData);
            file.replace(at + kBlockHeader, length, text, done, length);
        }
        // Its index record: the message's number, its address and its subject.
        const std::string subject = HeaderLine(text, "Subject") + '\0';
        const std::string sender = HeaderLine(text, "From") + '\0';
        std::string data(4, '\0');
        Put32(data, 0, first);
        data += subject + sender;
        while (data.size() % 4 != 0) {
            data += '\0';
        }
        constexpr std::uint32_t kEntries = 4;
        std::string body(kEntries * 4, '\0');
        Put32(body, 0, 0x80 | static_cast<std::uint32_t>(m + 1) << 8); // direct: its number
        Put32(body, 4, 0x04);                                          // its address, in data
        Put32(body, 8, 0x08 | 4u << 8);                                // subject
        Put32(body, 12, 0x0D | static_cast<std::uint32_t>(4 + subject.size()) << 8); // sender
        body += data;
        const std::uint32_t record = static_cast<std::uint32_t>(file.size());
        std::string head(12, '\0');
        Put32(head, 0, record);
        Put32(head, 4, static_cast<std::uint32_t>(body.size()));
        Put32(head, 8, static_cast<std::uint32_t>(body.size()) | kEntries << 16 | 1u << 24);
        file += head + body;
        Put32(file, node + 24 + 12 * static_cast<std::uint32_t>(m), record);
    }
    return file;
}

std::string AddressBook() {
    static const unsigned char kSignature[16] = {0x9C, 0xCB, 0xCB, 0x8D, 0x13, 0x75, 0xD2, 0x11,
                                                 0x91, 0x58, 0x00, 0xC0, 0x4F, 0x79, 0x56, 0xA4};
    constexpr std::size_t kSize = 0x2000;
    std::string book(kSize, '\0');
    book.replace(0, sizeof kSignature, reinterpret_cast<const char*>(kSignature),
                 sizeof kSignature);
    return book;
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
                std::ifstream in(args[i], std::ios::binary);
                std::ostringstream text;
                text << in.rdbuf();
                messages.push_back(text.str());
            }
            bytes = MessageFolder(messages);
        } else if (args[0] == "folders") {
            bytes = Header(0x6F74FDC6);
        } else if (args[0] == "offline") {
            bytes = Header(0x26FE9D30);
        } else if (args[0] == "pop3") {
            bytes = Header(0x6F74FDC7);
        } else if (args[0] == "address-book") {
            bytes = AddressBook();
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
