// Windows 98's registry backups as --restore-point RB00n reads them: the cabinet's file list,
// then SYSTEM.DAT and USER.DAT taken out of it (through libmspack).
#include "fuzz_support.h"
#include "sources/registry_cab.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string cab = fuzz::WriteScratchFile("RB000.CAB", fuzz::BytesOf(data, size));
    std::vector<CabMember> members;
    std::string error;
    if (ListCab(cab, members, error)) {
        const std::string into = (fuzz::Scratch() / "member").string();
        ExtractCabMember(cab, "SYSTEM.DAT", into, error);
        ExtractCabMember(cab, "USER.DAT", into, error);
    }
    return 0;
}
