// A part of the registry answered from where it is kept (an open hive file) as it is asked for,
// instead of being copied into memory first.
#pragma once

#include "registry/registry_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Keys are named by numbers of the tree's own choosing. Names and string data are ANSI, as in
// every store; a key, value or name the tree cannot read is left out and counted as damage.
class KeyTree {
  public:
    using Node = std::uint64_t;
    virtual ~KeyTree() = default;

    virtual Node Root() const = 0;
    // The subkey of that name, compared without regard to case.
    virtual std::optional<Node> Subkey(Node key, std::string_view name) = 0;
    virtual bool SubkeyName(Node key, std::uint32_t index, std::string& name) = 0;
    // The value at `index`, whole, into `value`, whose buffers are reused.
    virtual bool ValueAt(Node key, std::uint32_t index, RegValue& value) = 0;
    virtual bool FindValue(Node key, std::string_view name, std::uint32_t& type,
                           std::vector<std::uint8_t>& data) = 0;
    // A key met again below itself (a loop in a damaged file), or deeper than Windows allows:
    // the store shows it empty and tells the tree, which counts it.
    virtual void NoteUnreadable(Node key) = 0;
    // What damage the reading met since the last call, as French warnings.
    virtual std::vector<std::string> TakeWarnings() = 0;
};

} // namespace quillon
