// The .dbx reader on any bytes: the messages of the index and those found by their chains, each
// text read whole or cut, and the folders list. Nothing is read twice into one text, and no
// message found by its chain is one the index gave.
#include "formats/dbx_file.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = quillon::fuzz::WriteScratchFile(
        "input.dbx", std::string_view(reinterpret_cast<const char*>(data), size));
    quillon::DbxFile file;
    std::string error;
    if (!file.Open(path, error)) {
        return 0;
    }
    std::set<std::pair<std::uint32_t, std::uint32_t>> indexed;
    for (const quillon::DbxMessage& message : file.Messages(true)) {
        const auto chain = std::make_pair(message.FirstBlock, message.Shift);
        if (message.Recovered && indexed.count(chain) != 0) {
            std::abort();
        }
        if (!message.Recovered) {
            indexed.insert(chain);
        }
        std::size_t length = 0;
        file.ReadText(message, [&](std::string_view text) {
            length += text.size();
            return true;
        });
        if (length > size) {
            std::abort(); // a block was read twice
        }
    }
    file.Folders();
    file.TakeProblems();
    return 0;
}
