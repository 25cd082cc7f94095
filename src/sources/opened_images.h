// The disk images of one listing, each opened once for all the users found in it.
#pragma once

#include "disks/disk_image.h"

#include <map>
#include <memory>
#include <string>

namespace quillon {

// A listing finds the users of an image, then reads each user's registry from it: all through
// one opened image, whose file systems are then read once however many users they hold.
class OpenedImages {
  public:
    // The image at `path`, opened the first time it is asked for; nullptr with a French `error`
    // when it cannot be (not kept: asked again, it is tried again).
    std::shared_ptr<DiskImage> Open(const std::string& path, std::string& error);

  private:
    std::map<std::string, std::shared_ptr<DiskImage>> images_;
};

// The image at `path`: from `images` when given, else opened for the caller alone.
std::shared_ptr<DiskImage> OpenImage(OpenedImages* images, const std::string& path,
                                     std::string& error);

} // namespace quillon
