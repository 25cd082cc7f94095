#include "files/interruption.h"

#include "files/output_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#ifdef _WIN32
#include <string>
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace quillon::interruption {
namespace {

// The tables below are read by a signal handler, which can neither lock nor allocate: a slot
// is Ready only once it is written whole.
enum SlotState : int { Free, Writing, Ready };

// Takes a free slot of `slots`, fills it with `fill`, and gives its number (-1 when none is
// free).
template <typename Slots, typename Fill> int Take(Slots& slots, Fill fill) {
    for (std::size_t index = 0; index < slots.size(); ++index) {
        int expected = Free;
        if (slots[index].State.compare_exchange_strong(expected, Writing)) {
            fill(slots[index]);
            slots[index].State = Ready;
            return static_cast<int>(index);
        }
    }
    return -1;
}

// A path to take back: a temporary file to delete, a folder made to remove, or a folder made
// to remove with all it holds. However many there are, each has a node; nodes are never freed,
// only reused, so the handler can walk them at any moment.
enum class PathKind { File, Folder, Tree };
struct PathNode {
    std::atomic<int> State{Free};
    PathKind Kind = PathKind::File;
    std::unique_ptr<char[]> Path;
    std::size_t Room = 0;
    PathNode* Next = nullptr;
};
std::atomic<PathNode*> g_paths{nullptr};
// How many nodes are free: when none is, a new path takes a new node at once, without a walk
// through the thousands a large copy holds.
std::atomic<std::size_t> g_freeNodes{0};

// Room of a new node: its path's, rounded up to this step, so that it is reused by paths of
// about its length while a tree of thousands of files does not hold thousands of large nodes.
constexpr std::size_t kPathRoomStep = 64;

PathTicket Track(PathKind kind, const std::string& path) {
    for (PathNode* node = g_freeNodes.load() > 0 ? g_paths.load() : nullptr; node != nullptr;
         node = node->Next) {
        int expected = Free;
        if (node->Kind == kind && node->Room > path.size() &&
            node->State.compare_exchange_strong(expected, Writing)) {
            --g_freeNodes;
            std::memcpy(node->Path.get(), path.c_str(), path.size() + 1);
            node->State = Ready;
            return node;
        }
    }
    auto* node = new PathNode; // never freed: the handler may be walking it
    node->Kind = kind;
    node->Room = (path.size() / kPathRoomStep + 1) * kPathRoomStep;
    node->Path = std::make_unique<char[]>(node->Room);
    std::memcpy(node->Path.get(), path.c_str(), path.size() + 1);
    node->State = Ready;
    node->Next = g_paths.load();
    while (!g_paths.compare_exchange_weak(node->Next, node)) {
    }
    return node;
}

void Release(PathNode* node) {
    node->State = Free;
    ++g_freeNodes;
}

void Untrack(PathKind kind, const std::string& path) {
    for (PathNode* node = g_paths.load(); node != nullptr; node = node->Next) {
        if (node->Kind == kind && node->State == Ready && path == node->Path.get()) {
            Release(node);
            return;
        }
    }
}

// A tree's folders deeper than this are left: the program's own trees are far shallower.
constexpr int kDeepestTree = 128;

#ifdef _WIN32
// The console's handler runs on a thread of its own, where the usual calls may be made.
void EmptyTree(const std::string& folder, int depth) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = folder + "\\" + name;
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileA(path.c_str());
            continue;
        }
        // A junction or a link is removed itself, never entered.
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && depth < kDeepestTree) {
            EmptyTree(path, depth + 1);
        }
        RemoveDirectoryA(path.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

bool RemoveTreeAt(const char* path) {
    EmptyTree(path, 0);
    return RemoveDirectoryA(path) != 0;
}
#else
// The entries read from each level of a tree being emptied: a signal handler may not allocate.
constexpr std::size_t kEntriesRead = 4096;
alignas(8) char g_entries[kDeepestTree + 1][kEntriesRead];

// Empties the folder open as `folder`, then closes it: each file and link is removed (a link
// is never followed), each folder emptied and removed. Only calls that a signal handler may
// make; the folder is read again from its start while a pass removes anything, as removing
// entries during a read may hide others.
void EmptyTree(int folder, int depth) {
    struct Entry { // the kernel's linux_dirent64, its name running on
        std::uint64_t Inode;
        std::int64_t Next;
        unsigned short Length;
        unsigned char Type;
        char Name[1];
    };
    char* const entries = g_entries[depth];
    for (bool removed = true; removed;) {
        removed = false;
        lseek(folder, 0, SEEK_SET);
        long length;
        while ((length = syscall(SYS_getdents64, folder, entries, kEntriesRead)) > 0) {
            for (long at = 0; at < length;) {
                const auto* entry = reinterpret_cast<const Entry*>(entries + at);
                at += entry->Length;
                const char* name = entry->Name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
                    continue;
                }
                if (unlinkat(folder, name, 0) == 0) {
                    removed = true;
                    continue;
                }
                // Not a file nor a link: a folder, emptied first.
                if (depth < kDeepestTree) {
                    const int inner = openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
                    if (inner >= 0) {
                        EmptyTree(inner, depth + 1);
                    }
                }
                removed = unlinkat(folder, name, AT_REMOVEDIR) == 0 || removed;
            }
        }
    }
    close(folder);
}

bool RemoveTreeAt(const char* path) {
    const int folder = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (folder >= 0) {
        EmptyTree(folder, 0);
    }
    return rmdir(path) == 0;
}
#endif

bool RemovePath(const PathNode& node) {
    if (node.Kind == PathKind::Tree) {
        return RemoveTreeAt(node.Path.get());
    }
#ifdef _WIN32
    return node.Kind == PathKind::File ? DeleteFileA(node.Path.get()) != 0
                                       : RemoveDirectoryA(node.Path.get()) != 0;
#else
    return node.Kind == PathKind::File ? unlink(node.Path.get()) == 0 : rmdir(node.Path.get()) == 0;
#endif
}

// The files and the trees first, then the folders, which are empty only once their files and
// inner folders are gone: folders are tried again while any goes.
void RemoveTrackedPaths() {
    for (PathNode* node = g_paths.load(); node != nullptr; node = node->Next) {
        if (node->Kind != PathKind::Folder && node->State == Ready) {
            RemovePath(*node);
        }
    }
    for (bool removed = true; removed;) {
        removed = false;
        for (PathNode* node = g_paths.load(); node != nullptr; node = node->Next) {
            if (node->Kind == PathKind::Folder && node->State == Ready && RemovePath(*node)) {
                node->State = Free;
                removed = true;
            }
        }
    }
}

struct AppendSlot {
    std::atomic<int> State{Free};
    std::intptr_t Descriptor = -1;
    std::uintmax_t Length = 0;
};
std::array<AppendSlot, 8> g_appends;

void UndoWhatIsRegistered() {
    for (AppendSlot& slot : g_appends) {
        if (slot.State == Ready) {
            CutBack(slot.Descriptor, slot.Length);
        }
    }
    RemoveTrackedPaths();
}

#ifdef _WIN32
BOOL WINAPI OnConsoleInterrupt(DWORD) {
    UndoWhatIsRegistered();
    return FALSE; // the system's own handling then ends the program
}
#else
void OnInterrupt(int signal) {
    UndoWhatIsRegistered();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

} // namespace

void UndoOnInterrupt() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE);
#else
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the program was started to ignore (nohup, a background job) stays ignored.
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            std::signal(signal, OnInterrupt);
        }
    }
    // A file that reaches the size limit fails its write, which is told and undone, instead of
    // ending the program with its temporary files left behind.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

PathTicket TrackTemporary(const std::string& path) {
    return Track(PathKind::File, path);
}

void UntrackTemporary(const std::string& path) {
    Untrack(PathKind::File, path);
}

PathTicket TrackFolder(const std::string& path) {
    return Track(PathKind::Folder, path);
}

PathTicket TrackTree(const std::string& path) {
    return Track(PathKind::Tree, path);
}

void RemoveTree(const std::string& path) {
    RemoveTreeAt(path.c_str());
}

void Untrack(PathTicket ticket) {
    auto* node = static_cast<PathNode*>(const_cast<void*>(ticket));
    if (node != nullptr && node->State == Ready) {
        Release(node);
    }
}

void UntrackFolder(const std::string& path) {
    Untrack(PathKind::Folder, path);
}

int TrackAppend(std::intptr_t descriptor, std::uintmax_t length) {
    return Take(g_appends, [&](AppendSlot& slot) {
        slot.Descriptor = descriptor;
        slot.Length = length;
    });
}

void UntrackAppend(int ticket) {
    if (ticket >= 0 && static_cast<std::size_t>(ticket) < g_appends.size()) {
        g_appends[static_cast<std::size_t>(ticket)].State = Free;
    }
}

#ifdef _WIN32
SignalsHeld::SignalsHeld() = default;
SignalsHeld::~SignalsHeld() = default;
#else
SignalsHeld::SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before_);
}
SignalsHeld::~SignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}
#endif

} // namespace quillon::interruption
