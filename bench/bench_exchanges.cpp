// Time per exchange beyond its mandated wait, ours against libmodbus, both
// talking to the simulated converter over a pty.  Prints a table.
//   bench_exchanges [ORN-DEVSIM-PATH] [REPEATS]
#include "modbus/modbus_api.h"
#include "platform/serial.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <modbus.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCom = 250;

double now_s()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}

struct Row {
    std::string what;
    std::vector<double> overhead_ms;
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[(size_t)(p * (double)(v.size() - 1) + 0.5)];
}

// Starts the simulator; returns its pid and the pty it serves.
pid_t start_simulator(const char *devsim, std::string &pty)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(devsim, devsim, "--com", "250", "--static-buffer", (char *)nullptr);
        _exit(127);
    }
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        pty += c;
    close(out[0]);
    return pid;
}

}  // namespace

int main(int argc, char **argv)
{
    char devsim[4096];
    if (!realpath(argc > 1 ? argv[1] : "build-bench/orn-devsim", devsim)) {
        std::perror("orn-devsim");
        return 1;
    }
    int repeats = argc > 2 ? std::atoi(argv[2]) : 50;
    char run_dir[] = "/tmp/orn-bench-XXXXXX";
    if (!mkdtemp(run_dir) || chdir(run_dir) != 0)
        return 1;
    setenv("ORN_RUN_DIR", run_dir, 1);
    std::string pty;
    pid_t sim = start_simulator(devsim, pty);
    if (sim <= 0 || pty.empty()) {
        std::fprintf(stderr, "cannot start %s\n", devsim);
        return 1;
    }

    gvCOM = kCom;
    gvORN_ID = 1;
    if (OpenCom(kCom, "COM250") < 0) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        return 1;
    }
    std::vector<Row> rows;
    int values[500];
    int failures = 0;

    Row single{"ORN_RW, one register (wait 100 ms)", {}};
    for (int i = 0; i < repeats; ++i) {
        double t0 = now_s();
        failures += ORN_RW(1, 3, 0x1F00, 1, ORN_RW_DELAY_S, values) != 1;
        single.overhead_ms.push_back((now_s() - t0 - ORN_RW_DELAY_S) * 1000);
    }
    rows.push_back(single);

    Row table{"ORN_Read_Array, 40-row table (wait 10 ms per row)", {}};
    for (int rep = 0; rep < std::max(1, repeats / 10); ++rep)
        for (int r = 1; r <= 40; ++r) {
            double t0 = now_s();
            Set_Array(aUSB_Vcom, gvORN_ID, 3, 5, r);
            failures += ORN_Read_Array(aUSB_Vcom, 8, 11, 3, values) != 1;
            table.overhead_ms.push_back((now_s() - t0 - ORN_BLOCK_DELAY_S) * 1000);
        }
    rows.push_back(table);

    Row buffer{"ORN_RW, 500-word data buffer (wait 100 ms)", {}};
    for (int i = 0; i < std::max(1, repeats / 2); ++i) {
        double t0 = now_s();
        failures += ORN_RW(1, 3, 9, 500, ORN_RW_DELAY_S, values) != 1;
        buffer.overhead_ms.push_back((now_s() - t0 - ORN_RW_DELAY_S) * 1000);
    }
    rows.push_back(buffer);
    CloseCom(kCom);

    // libmodbus on the same pty, the same single-register read, no wait.
    Row lib{"libmodbus, one register (no wait)", {}};
    modbus_t *ctx = modbus_new_rtu(pty.c_str(), 9600, 'N', 8, 1);
    modbus_set_slave(ctx, 1);
    if (modbus_connect(ctx) == 0) {
        uint16_t reg;
        for (int i = 0; i < repeats; ++i) {
            double t0 = now_s();
            failures += modbus_read_registers(ctx, 0x1F00, 1, &reg) != 1;
            lib.overhead_ms.push_back((now_s() - t0) * 1000);
        }
        modbus_close(ctx);
    }
    modbus_free(ctx);
    rows.push_back(lib);

    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);

    std::printf("%-52s %6s %12s %12s\n", "exchange", "n", "median ms", "p90 ms");
    for (const Row &r : rows)
        if (!r.overhead_ms.empty())
            std::printf("%-52s %6zu %12.3f %12.3f\n", r.what.c_str(), r.overhead_ms.size(),
                        percentile(r.overhead_ms, 0.5), percentile(r.overhead_ms, 0.9));
    double ours = percentile(rows[0].overhead_ms, 0.5), theirs = percentile(lib.overhead_ms, 0.5);
    std::printf("\nours beyond the wait minus libmodbus, one register: %+.3f ms (goal: at most +0.5 ms)\n",
                ours - theirs);
    std::printf("failed exchanges: %d\n", failures);
    return failures ? 1 : 0;
}
