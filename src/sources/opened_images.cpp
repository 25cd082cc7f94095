#include "sources/opened_images.h"

namespace quillon {

std::shared_ptr<DiskImage> OpenedImages::Open(const std::string& path, std::string& error) {
    if (const auto opened = images_.find(path); opened != images_.end()) {
        return opened->second;
    }
    std::shared_ptr<DiskImage> image = DiskImage::Open(path, error);
    if (image) {
        images_.emplace(path, image);
    }
    return image;
}

} // namespace quillon
