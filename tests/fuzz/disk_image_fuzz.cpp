// Disk images as --image reads them: the partition tables, the file systems on them and the
// installations found there (listed, then each opened as its user's registry).
#include "fuzz_support.h"
#include "options/store_options.h"
#include "sources/windows_installations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string path = fuzz::WriteScratchFile("disk.img", fuzz::BytesOf(data, size));
    std::vector<ListedInstallation> listed;
    std::string error;
    if (ListInstallations({{{Mount::Kind::Image, "", path}}, ""}, listed, error)) {
        for (const ListedInstallation& installation : listed) {
            const OpenedStore opened = OpenStore(installation.Options);
            if (opened.Store) {
                fuzz::ReadCurrentIdentity(*opened.Store);
            }
        }
    }
    return 0;
}
