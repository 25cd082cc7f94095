// The hive reader (libhivex, then its recovery mode on a damaged hive), then the exporter on
// whatever it read.
#include "fuzz_support.h"
#include "registry/hive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string path = fuzz::WriteScratchFile("NTUSER.DAT", fuzz::BytesOf(data, size));
    MemoryStore store;
    HiveReadReport report;
    std::string error;
    if (ReadHiveFile(path, store.Root(1), report, error)) {
        fuzz::CheckExportReadsBack(store);
    }
    return 0;
}
