// What a reader of registry files says of the damage it met.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

struct ReadReport {
    std::size_t DamagedKeys = 0; // keys read only in part, or left out
    bool Unsafe = false;         // the file was damaged: read in its library's recovery mode
    std::vector<std::string> WorkedAround; // damage set right in a copy, in French, for warnings
};

} // namespace quillon
