// What a reader of registry files says, on opening one, of the damage it met (what the keys
// hold is counted by the key trees as they are read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace quillon {

struct ReadReport {
    bool Unsafe = false; // the file was damaged: read in its library's recovery mode
    std::vector<std::string> WorkedAround; // damage set right in a copy, in French, for warnings
};

// The keys and values a key tree found damaged as it was read, each counted once however often
// it is read, and told once.
class DamageFound {
  public:
    // `before`: damage found before the reading (links cut on opening), told with the first.
    explicit DamageFound(std::size_t before = 0) : untold_(before) {}
    // `what` names a key or value, in numbers of the tree's choosing.
    void Note(std::uint64_t what) { found_.insert(what); }
    // "FILE : N clé(s) endommagée(s) ..." for what was found since the last call, if any.
    std::vector<std::string> TakeWarnings(const std::string& shown) {
        const std::size_t count = found_.size() - told_ + untold_;
        told_ = found_.size();
        untold_ = 0;
        if (count == 0) {
            return {};
        }
        return {shown + " : " + std::to_string(count) + " clé(s) endommagée(s), lue(s) en partie"};
    }

  private:
    std::unordered_set<std::uint64_t> found_;
    std::size_t told_ = 0;
    std::size_t untold_;
};

} // namespace quillon
