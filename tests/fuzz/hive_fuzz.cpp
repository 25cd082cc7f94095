// The registry-file readers, told apart by their first bytes as the store does: regf hives
// (read leniently when damaged) and Windows 95/98/Me CREG files (libcreg), both read on demand;
// then the exporter on whatever they read. A file exports the same read key by key through the
// store's handles as copied whole into memory, once every damage met.
#include "formats/creg_reader.h"
#include "formats/hive_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view bytes = fuzz::BytesOf(data, size);
    const std::string path = fuzz::WriteScratchFile("NTUSER.DAT", bytes);
    ReadReport report;
    std::string error;
    const std::shared_ptr<KeyTree> tree = LooksLikeCreg(bytes)
                                              ? OpenCregFile(path, path, report, error)
                                              : OpenHive(path, path, report, error);
    if (!tree) {
        return 0;
    }
    MemoryStore store;
    store.Mount(store.Root(1), tree, tree->Root());
    // A hive's bins are walked as they are first needed: a damaged one met during the first
    // reading turns the rest of the reading lenient. The second reading is lenient throughout.
    fuzz::ExportEverything(store, "first.reg");
    const std::string onDemand = fuzz::ExportEverything(store, "on-demand.reg");
    store.FindKey("HKEY_CURRENT_USER"); // copies the file's keys into memory
    if (fuzz::ExportEverything(store, "copied.reg") != onDemand) {
        std::fprintf(stderr, "the file read on demand and copied into memory differ\n");
        std::abort();
    }
    fuzz::CheckExportReadsBack(store);
    return 0;
}
