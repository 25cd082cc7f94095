// The reader of Wine's registry files, then the exporter on whatever it accepted.
#include "formats/wine_registry_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view text = fuzz::BytesOf(data, size);
    if (!LooksLikeWineRegistry(text)) {
        return 0;
    }
    MemoryStore store;
    std::string error;
    WineRegistryUser(text);
    if (ReadWineRegistryText(text, "user.reg", store.Root(1), error)) {
        fuzz::CheckExportReadsBack(store);
    }
    return 0;
}
