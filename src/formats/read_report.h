// What a reader of registry files says, on opening one, of the damage it met (what the keys
// hold is counted by the key trees as they are read).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

struct ReadReport {
    bool Unsafe = false; // the file was damaged: read in its library's recovery mode
    std::vector<std::string> WorkedAround; // damage set right in a copy, in French, for warnings
};

} // namespace quillon
