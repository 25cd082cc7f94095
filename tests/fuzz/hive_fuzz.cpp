// The registry-file readers, told apart by their first bytes as the store does: regf hives
// (read on demand, then leniently on a damaged hive) and Windows 95/98/Me CREG files (libcreg);
// then the exporter on whatever they read. A hive exports the same read key by key through the
// store's handles as copied whole into memory.
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
    if (LooksLikeCreg(bytes)) {
        if (ReadCregFile(path, store.Root(1), report, error)) {
            fuzz::CheckExportReadsBack(store);
        }
        return 0;
    }
    const std::shared_ptr<KeyTree> hive = OpenHive(path, path, report, error);
    if (!hive) {
        return 0;
    }
    store.Mount(store.Root(1), hive, hive->Root());
    const std::string onDemand = fuzz::ExportEverything(store, "on-demand.reg");
    store.FindKey("HKEY_CURRENT_USER"); // copies the hive's keys into memory
    if (fuzz::ExportEverything(store, "copied.reg") != onDemand) {
        std::fprintf(stderr, "the hive read on demand and copied into memory differ\n");
        std::abort();
    }
    fuzz::CheckExportReadsBack(store);
    return 0;
}
