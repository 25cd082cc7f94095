// The mail client's files as a copy reads them, piece by piece: a .dbx header and its tree's root
// node, an address book's header. Cut into pieces of any size, a file is read as it is whole.
#include "mail/mail_files.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

quillon::MailFileHeader ReadInPieces(std::string_view bytes, std::size_t pieceSize) {
    quillon::MailFileReader reader;
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        reader.Add(bytes.substr(at, pieceSize));
    }
    return reader.Result();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the size of the pieces; the rest is the file.
    const std::size_t pieceSize = 1 + data[0] * 97u;
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    const quillon::MailFileHeader whole = ReadInPieces(file, file.size() + 1);
    const quillon::MailFileHeader pieces = ReadInPieces(file, pieceSize);
    if (whole.Kind != pieces.Kind || whole.Messages != pieces.Messages ||
        whole.Damaged != pieces.Damaged) {
        std::abort();
    }
    return 0;
}
