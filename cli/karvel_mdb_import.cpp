// karvel-mdb-import SOURCE.mdb TARGET.sqlite
//
// Copies an Access file into SQLite for the program, in a process of its own
// so that a damaged file cannot take the program down. Progress goes to
// standard output as lines "T rows", "P rows"; a failure as "E message".
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>

#include "core/cp1252.h"
#include "navdb/access_import.h"

namespace {

class LineProgress : public karvel::ProgressSink {
  public:
    void set_maximum(int maximum) override {
        std::printf("T %d\n", maximum);
        std::fflush(stdout);
    }
    void set_position(int position) override {
        std::printf("P %d\n", position);
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: karvel-mdb-import SOURCE TARGET\n");
        return 2;
    }
    // Stopped with the program that started it, however that one ends.
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent || parent == 1) return 1;
    LineProgress progress;
    try {
        karvel::import_access(argv[1], argv[2], &progress);  // paths as the system gives them
    } catch (const std::exception& e) {
        std::printf("E %s\n", e.what());
        return 1;
    }
    return 0;
}
