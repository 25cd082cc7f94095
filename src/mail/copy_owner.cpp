#include "mail/copy_owner.h"

#ifndef _WIN32
#include <cstdlib>
#include <unistd.h>
#endif

namespace quillon {

#ifdef _WIN32
bool HandToUser(const std::string&) {
    return true;
}

bool HandToUser(std::intptr_t) {
    return true;
}
#else
namespace {

struct Owner {
    uid_t User = static_cast<uid_t>(-1);
    gid_t Group = static_cast<gid_t>(-1);
    bool Handed() const { return User != static_cast<uid_t>(-1); }
};

Owner ReadOwnerOfCopies() {
    Owner owner;
    const char* user = std::getenv("SUDO_UID");
    const char* group = std::getenv("SUDO_GID");
    if (geteuid() == 0 && user != nullptr && group != nullptr) {
        owner.User = static_cast<uid_t>(std::strtoul(user, nullptr, 10));
        owner.Group = static_cast<gid_t>(std::strtoul(group, nullptr, 10));
    }
    return owner;
}

// Read once: a copy of thousands of messages asks for each file.
const Owner& OwnerOfCopies() {
    static const Owner owner = ReadOwnerOfCopies();
    return owner;
}

} // namespace

bool HandToUser(const std::string& path) {
    const Owner& owner = OwnerOfCopies();
    return !owner.Handed() || lchown(path.c_str(), owner.User, owner.Group) == 0;
}

bool HandToUser(std::intptr_t descriptor) {
    const Owner& owner = OwnerOfCopies();
    return !owner.Handed() || fchown(static_cast<int>(descriptor), owner.User, owner.Group) == 0;
}
#endif

} // namespace quillon
