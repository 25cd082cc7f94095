// The .reg reader (REGEDIT4 and UTF-16 "Windows Registry Editor Version 5.00"), then the
// exporter on whatever it accepted.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    MemoryStore store;
    std::string error;
    if (ReadRegText(fuzz::BytesOf(data, size), "fuzz.reg", store, error)) {
        fuzz::CheckExportReadsBack(store);
    }
    return 0;
}
