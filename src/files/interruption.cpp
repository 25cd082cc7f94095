#include "files/interruption.h"

#include "files/output_file.h"

#include <array>
#include <atomic>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
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

constexpr std::size_t kPathRoom = 4096;
struct TemporarySlot {
    std::atomic<int> State{Free};
    std::array<char, kPathRoom> Path{};
};
std::array<TemporarySlot, 32> g_temporaries;

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
    for (TemporarySlot& slot : g_temporaries) {
        if (slot.State == Ready) {
#ifdef _WIN32
            DeleteFileA(slot.Path.data());
#else
            unlink(slot.Path.data());
#endif
        }
    }
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
#endif
}

void TrackTemporary(const std::string& path) {
    if (path.size() < kPathRoom) {
        Take(g_temporaries, [&path](TemporarySlot& slot) {
            std::memcpy(slot.Path.data(), path.c_str(), path.size() + 1);
        });
    }
}

void UntrackTemporary(const std::string& path) {
    for (TemporarySlot& slot : g_temporaries) {
        if (slot.State == Ready && path == slot.Path.data()) {
            slot.State = Free;
            return;
        }
    }
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
