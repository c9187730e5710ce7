// Read all and one polling tick on the real main panel (offscreen) against
// the simulated converter: time beyond the mandated waits.  Prints a table.
//   bench_panel STAGE_DIR ORN-DEVSIM-PATH [REPEATS]
#include "app/shared_state.h"
#include "app/shell.h"
#include "config/orn_rw_api.h"
#include "modbus/modbus_api.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCom = 251;
constexpr double kReadAllFloor = 11 * 0.1 + 80 * 0.01;   // the waits of Read all in mode 3

double now_s()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_panel STAGE_DIR ORN-DEVSIM-PATH [REPEATS]\n");
        return 2;
    }
    char stage[PATH_MAX], devsim[PATH_MAX];
    if (!realpath(argv[1], stage) || !realpath(argv[2], devsim))
        return 2;
    int repeats = argc > 3 ? std::atoi(argv[3]) : 5;
    char run_dir[] = "/tmp/orn-bench-XXXXXX";
    if (!mkdtemp(run_dir))
        return 1;
    setenv("ORN_RUN_DIR", run_dir, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    int out[2];
    if (pipe(out) != 0)
        return 1;
    pid_t sim = fork();
    if (sim == 0) {
        dup2(out[1], 1);
        execl(devsim, devsim, "--com", "251", "--mode", "3", (char *)nullptr);
        _exit(127);
    }
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') {
    }

    Ui_Init(argc, argv);
    std::string bin = std::string(stage) + "/bin";
    if (chdir(bin.c_str()) != 0 || App_Start() != 0) {
        std::fprintf(stderr, "cannot start the panels from %s\n", bin.c_str());
        return 1;
    }
    gvCOM = kCom;
    gvORN_ID = 1;
    if (OpenCom(kCom, "COM251") < 0) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        return 1;
    }
    int failures = 0;
    std::vector<double> read_all, tick;
    for (int i = 0; i < repeats; ++i) {
        double t0 = now_s();
        failures += Read_all_Paras() != 1;
        read_all.push_back(now_s() - t0);
    }
    for (int i = 0; i < repeats * 4; ++i) {
        double t0 = now_s();
        failures += Read_data_buffer() != 1;
        ProcessSystemEvents();   // the 500 cell updates reach the screen
        tick.push_back((now_s() - t0 - ORN_RW_DELAY_S) * 1000);
    }
    CloseCom(kCom);
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);

    std::printf("%-58s %6s %12s %10s\n", "measure", "n", "median", "goal");
    std::printf("%-58s %6zu %12.4f %10s\n", "Read all, mode 3 (91 exchanges): time / 1.9 s of waits", read_all.size(),
                median(read_all) / kReadAllFloor, "<= 1.02");
    std::printf("%-58s %6zu %9.3f ms %10s\n", "polling tick beyond its 0.1 s wait (500 cells)", tick.size(),
                median(tick), "<= 10 ms");
    std::printf("failed exchanges: %d\n", failures);
    return failures ? 1 : 0;
}
