// Disk images where The Sleuth Kit is not built in (the Windows executables): every image is
// refused, saying which build reads it. An image never opens, so nothing else is ever reached.
#include "disks/disk_image.h"

namespace quillon {

std::shared_ptr<DiskImage> DiskImage::Open(const std::string& path, std::string& error) {
    error = "Impossible de lire l'image disque « " + path +
            " » : les images disque et les disques de machines virtuelles sont lus par Quillon "
            "sous Linux ; sous Windows, montez l'image (elle apparaît comme un lecteur) et "
            "donnez son dossier avec --windows";
    return nullptr;
}

DiskImage::~DiskImage() = default;

std::unique_ptr<FileTree> DiskImage::OpenFileSystem(const Volume&, std::string&) {
    return nullptr;
}

std::string DiskImage::ReadFailure() const {
    return "";
}

std::string DiskImage::Shown(const Volume&) const {
    return path_;
}

} // namespace quillon
