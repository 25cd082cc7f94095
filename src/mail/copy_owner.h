// Who the files and folders written out of a source are for: the user who ran Quillon through
// sudo to read a disk, so that their mail client can open them; else whoever runs it.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// Hands the entry `path` (a link itself, never what it leads to) to that user; nothing to do
// when Quillon was not run through sudo, or on Windows. False when the system refuses.
bool HandToUser(const std::string& path);
// The same for an open file, by its descriptor.
bool HandToUser(std::intptr_t descriptor);

} // namespace quillon
