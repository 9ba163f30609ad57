#include "core/file_signals.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "core/file_output.h"

namespace karvel {

namespace {

// The temporary files that exist right now, for the signal handler: fixed
// slots, so that it reads them without allocating.
constexpr int kSlots = 32;
char g_temp_names[kSlots][4096];
volatile std::sig_atomic_t g_temp_used[kSlots];

// While files change, the stop signals wait, in every thread: the thread
// that changes them holds them back for itself, and a handler run by any
// other thread only notes the signal, which the changing thread acts on
// when done. `g_hold` counts the changes under way; -1 once the program
// is ending on a signal.
std::atomic<int> g_hold{0};
volatile std::sig_atomic_t g_pending = 0;

// The temporary files removed, the program ends as the signal wants.
void end_on_signal(int signal_number) {
    for (int i = 0; i < kSlots; ++i)
        if (g_temp_used[i]) ::unlink(g_temp_names[i]);
    std::signal(signal_number, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal_number);
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    std::raise(signal_number);
}

extern "C" void on_stop_signal(int signal_number) {
    g_pending = signal_number;
    int idle = 0;
    if (g_hold.compare_exchange_strong(idle, -1)) end_on_signal(signal_number);
}

}  // namespace

StopSignalsHeld::StopSignalsHeld() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stop, s);
    ::pthread_sigmask(SIG_BLOCK, &stop, &old_);
    for (int d = g_hold.load();;) {
        if (d < 0) {  // another thread is ending the program
            for (;;) ::pause();
        }
        if (g_hold.compare_exchange_weak(d, d + 1)) break;
    }
}

StopSignalsHeld::~StopSignalsHeld() {
    int idle = 0;
    if (g_hold.fetch_sub(1) == 1 && g_pending && g_hold.compare_exchange_strong(idle, -1))
        end_on_signal(g_pending);
    ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

void remember_temp(const std::string& name) {
    if (name.size() >= sizeof g_temp_names[0]) return;
    for (int i = 0; i < kSlots; ++i)
        if (!g_temp_used[i]) {
            std::memcpy(g_temp_names[i], name.c_str(), name.size() + 1);
            g_temp_used[i] = 1;
            return;
        }
}

void forget_temp(const std::string& name) {
    for (int i = 0; i < kSlots; ++i)
        if (g_temp_used[i] && name == g_temp_names[i]) {
            g_temp_used[i] = 0;
            return;
        }
}

// Removes a temporary file that is still ours.
void drop_temp(std::string& name) {
    if (name.empty()) return;
    forget_temp(name);
    ::unlink(name.c_str());
    name.clear();
}

void remove_temporary_files_on_signals() {
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup, a background job) stays ignored.
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        std::signal(s, on_stop_signal);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace karvel
