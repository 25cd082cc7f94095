// The registry-file readers, told apart by their first bytes as the store does: regf hives
// (libhivex, then its recovery mode on a damaged hive) and Windows 95/98/Me CREG files (libcreg);
// then the exporter on whatever they read.
#include "formats/creg_reader.h"
#include "formats/hive_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view bytes = fuzz::BytesOf(data, size);
    const std::string path = fuzz::WriteScratchFile("NTUSER.DAT", bytes);
    MemoryStore store;
    ReadReport report;
    std::string error;
    const bool read = LooksLikeCreg(bytes) ? ReadCregFile(path, store.Root(1), report, error)
                                           : ReadHiveFile(path, store.Root(1), report, error);
    if (read) {
        fuzz::CheckExportReadsBack(store);
    }
    return 0;
}
