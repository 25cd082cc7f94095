// What a reader of registry files says of the damage it met.
#pragma once

#include <cstddef>

namespace quillon {

struct ReadReport {
    std::size_t DamagedKeys = 0; // keys read only in part, or left out
    bool Unsafe = false;         // the file was damaged: read in its library's recovery mode
};

} // namespace quillon
