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

std::shared_ptr<DiskImage> OpenImage(OpenedImages* images, const std::string& path,
                                     std::string& error) {
    return images != nullptr ? images->Open(path, error) : DiskImage::Open(path, error);
}

} // namespace quillon
