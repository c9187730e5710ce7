// orn-devsim: serves the simulated converter on a pseudo-terminal.
// Prints the pty's path as its first line, then answers requests until
// SIGINT or SIGTERM.  See --help and README.md.
#include "tools/devsim/devsim.h"

#include "platform/port_map.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kFrameSilenceMs = 20;   // a partial frame this old is dropped

struct Options {
    std::string state_file;   // loaded at start, saved on every change
    std::string log_file;     // traffic log
    std::string link;         // extra symlink to the pty
    std::string com;          // "auto" or a number 225..256
    int mode = -1;            // start in this mode when >= 0
    bool static_buffer = false;
};

struct Outgoing {
    double due;                  // clock time to send at
    std::vector<uint8_t> bytes;
    bool starts_frame;           // log the whole frame with its first chunk
    std::vector<uint8_t> frame;
};

volatile sig_atomic_t sStop = 0;   // set by SIGINT / SIGTERM
double sStart = 0;                 // clock at start-up: log times count from it
FILE *sLog = nullptr;              // traffic log, when asked for

double clock_s()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}

void on_signal(int) { sStop = 1; }

void log_frame(const char *direction, const std::vector<uint8_t> &bytes)
{
    if (!sLog)
        return;
    std::fprintf(sLog, "%s %.6f", direction, clock_s() - sStart);
    for (uint8_t b : bytes)
        std::fprintf(sLog, " %02X", b);
    std::fputc('\n', sLog);
    std::fflush(sLog);
}

void usage(FILE *to)
{
    std::fputs(
        "usage: orn-devsim [options]\n"
        "  --state FILE     load the state from FILE if it exists; save it there on\n"
        "                   every change and at exit\n"
        "  --mode N         start in mode N (0..3; other values test the program)\n"
        "  --static-buffer  keep the data buffer still instead of moving it\n"
        "  --log FILE       traffic log: one line per frame, rx/tx, seconds, hex bytes\n"
        "  --link PATH      make a symlink PATH to the pty (removed at exit)\n"
        "  --com N|auto     appear as port COM N (225..256) of orn-config; auto takes\n"
        "                   the first free number\n"
        "  --fault FAULT    inject a fault: KIND[=PARAM][@N|@N+] (N-th request only,\n"
        "                   or from the N-th on; always without @).  KIND: none,\n"
        "                   crc_lo, crc_hi, exception[=code], short[=bytes], ident,\n"
        "                   delay=ms, pieces[=gap ms], noise[=ms], echo\n"
        "  --faults FILE    faults from a file, one FAULT per line\n",
        to);
}

bool read_file(const std::string &path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

bool save_state(const std::string &path, const DevsimState &state)
{
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << Devsim_State_Text(state);
        if (!out.flush())
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

bool pid_alive(const std::string &pid_file)
{
    std::string text;
    if (!read_file(pid_file, text))
        return false;
    long pid = std::atol(text.c_str());
    return pid > 0 && (kill((pid_t)pid, 0) == 0 || errno == EPERM);
}

void make_dirs(const std::string &dir)
{
    for (size_t at = 1; at <= dir.size(); ++at)
        if (at == dir.size() || dir[at] == '/')
            mkdir(dir.substr(0, at).c_str(), 0700);
}

// Takes port number n in the run dir: a link COMn to the pty and a pid file
// that tells a live claim from one a killed simulator left behind.
bool claim_com(int n, const std::string &pty, std::string &link)
{
    std::string dir = Port_Run_Dir();
    link = dir + "/COM" + std::to_string(n);
    std::string pid_file = link + ".pid";
    struct stat st;
    if (lstat(link.c_str(), &st) == 0) {
        if (pid_alive(pid_file))
            return false;
        unlink(link.c_str());
    }
    if (symlink(pty.c_str(), link.c_str()) != 0)
        return false;
    std::ofstream(pid_file) << getpid() << "\n";
    return true;
}

bool add_fault(const std::string &text, std::vector<DevsimFault> &faults)
{
    DevsimFault f;
    std::string err;
    if (!Devsim_Parse_Fault(text, f, err)) {
        std::fprintf(stderr, "orn-devsim: %s\n", err.c_str());
        return false;
    }
    faults.push_back(f);
    return true;
}

bool parse_args(int argc, char **argv, Options &o, std::vector<DevsimFault> &faults)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string &out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            std::exit(0);
        } else if (a == "--static-buffer") {
            o.static_buffer = true;
        } else if (a == "--state" && value(o.state_file)) {
        } else if (a == "--log" && value(o.log_file)) {
        } else if (a == "--link" && value(o.link)) {
        } else if (a == "--com" && value(o.com)) {
        } else if (a == "--mode" && value(v)) {
            char *end;
            long m = std::strtol(v.c_str(), &end, 10);
            if (*end || m < 0 || m > 0xFFFF)
                return false;
            o.mode = (int)m;
        } else if (a == "--fault" && value(v)) {
            if (!add_fault(v, faults))
                return false;
        } else if (a == "--faults" && value(v)) {
            std::string text;
            if (!read_file(v, text)) {
                std::fprintf(stderr, "orn-devsim: cannot read %s\n", v.c_str());
                return false;
            }
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);)
                if (!line.empty() && line[0] != '#' && !add_fault(line, faults))
                    return false;
        } else {
            return false;
        }
    }
    return true;
}

void set_raw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

// Sends what is due; returns the time of the next chunk or -1.
double send_due(int master, std::deque<Outgoing> &out)
{
    while (!out.empty() && out.front().due <= clock_s()) {
        Outgoing &o = out.front();
        if (o.starts_frame)
            log_frame("tx", o.frame);
        size_t sent = 0;
        while (sent < o.bytes.size()) {
            ssize_t n = write(master, o.bytes.data() + sent, o.bytes.size() - sent);
            if (n > 0)
                sent += (size_t)n;
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                break;
        }
        out.pop_front();
    }
    return out.empty() ? -1 : out.front().due;
}

void queue_reply(const DevsimReply &reply, std::deque<Outgoing> &out)
{
    double at = out.empty() ? clock_s() : out.back().due;
    std::vector<uint8_t> frame;
    for (const DevsimChunk &c : reply.chunks)
        frame.insert(frame.end(), c.bytes.begin(), c.bytes.end());
    bool first = true;
    for (const DevsimChunk &c : reply.chunks) {
        at += c.delay_ms / 1000.0;
        out.push_back({at, c.bytes, first, first ? frame : std::vector<uint8_t>{}});
        first = false;
    }
}

}  // namespace

int main(int argc, char **argv)
{
    // Before anything is made that the end must undo: a signal that comes
    // right after the pty's path was printed still ends us cleanly.
    struct sigaction sa{};
    sa.sa_handler = on_signal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    Options opt;
    Devsim sim;
    if (!parse_args(argc, argv, opt, sim.faults)) {
        usage(stderr);
        return 2;
    }
    sStart = clock_s();
    Devsim_Default_State(sim.state);
    if (!opt.state_file.empty()) {
        std::string text, err;
        if (read_file(opt.state_file, text) && !Devsim_Parse_State(text, sim.state, err)) {
            std::fprintf(stderr, "orn-devsim: %s: %s\n", opt.state_file.c_str(), err.c_str());
            return 2;
        }
    }
    if (opt.mode >= 0)
        sim.state.regs[SIM_REG_MODE] = opt.mode;
    if (opt.static_buffer)
        sim.state.buffer_live = false;
    if (!opt.log_file.empty() && !(sLog = std::fopen(opt.log_file.c_str(), "w"))) {
        std::fprintf(stderr, "orn-devsim: cannot write %s\n", opt.log_file.c_str());
        return 2;
    }

    int master, slave;
    char name[256];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("orn-devsim: openpty");
        return 1;
    }
    // The simulator keeps the slave side open too, so the master never
    // reads EIO while no client is attached.
    set_raw(slave);
    set_raw(master);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    std::vector<std::string> links;
    if (!opt.link.empty()) {
        unlink(opt.link.c_str());
        if (symlink(name, opt.link.c_str()) != 0) {
            std::fprintf(stderr, "orn-devsim: cannot link %s: %s\n", opt.link.c_str(), std::strerror(errno));
            return 1;
        }
        links.push_back(opt.link);
    }
    int com = 0;
    if (!opt.com.empty()) {
        make_dirs(Port_Run_Dir());
        int lo = COM_PORT_VIRTUAL_FIRST, hi = COM_PORT_MAX;
        if (opt.com != "auto")
            lo = hi = std::atoi(opt.com.c_str());
        std::string link;
        for (int n = lo; n <= hi && n >= COM_PORT_VIRTUAL_FIRST && n <= COM_PORT_MAX && !com; ++n)
            if (claim_com(n, name, link))
                com = n;
        if (!com) {
            std::fprintf(stderr, "orn-devsim: no free port number for --com %s\n", opt.com.c_str());
            return 1;
        }
        links.push_back(link);
        links.push_back(link + ".pid");
    }

    std::printf("%s\n", name);
    if (com)
        std::printf("COM%d\n", com);
    std::fflush(stdout);
    if (com)
        std::fprintf(stderr, "orn-devsim: simulated converter (Modbus slave %d) on %s, port COM%d; Ctrl+C ends it\n",
                     DEVSIM_SLAVE, name, com);
    else
        std::fprintf(stderr, "orn-devsim: simulated converter (Modbus slave %d) on %s; Ctrl+C ends it\n",
                     DEVSIM_SLAVE, name);

    std::vector<uint8_t> rx;      // bytes of the frame being received
    double last_rx = 0;           // when the last byte arrived
    std::deque<Outgoing> out;     // reply chunks waiting for their time
    bool dirty = false;           // state changed since the last save
    while (!sStop) {
        double next = send_due(master, out);
        double wait = 1.0;
        if (next >= 0)
            wait = next - clock_s();
        if (!rx.empty())
            wait = std::min(wait, last_rx + kFrameSilenceMs / 1000.0 - clock_s());
        pollfd p{master, POLLIN, 0};
        int ms = wait <= 0 ? 0 : (int)(wait * 1000) + 1;
        if (poll(&p, 1, ms) < 0 && errno != EINTR)
            break;
        if (p.revents & POLLIN) {
            uint8_t buf[2048];
            ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) {
                rx.insert(rx.end(), buf, buf + n);
                last_rx = clock_s();
            }
        }
        for (size_t len; !rx.empty() && (len = Devsim_Frame_Length(rx.data(), rx.size())) && len <= rx.size();) {
            std::vector<uint8_t> frame(rx.begin(), rx.begin() + (long)len);
            rx.erase(rx.begin(), rx.begin() + (long)len);
            log_frame("rx", frame);
            DevsimReply reply = Devsim_Handle(sim, frame.data(), frame.size(), clock_s() - sStart);
            dirty |= reply.state_changed;
            queue_reply(reply, out);
        }
        send_due(master, out);   // answer before the slower state save
        if (!rx.empty() && clock_s() - last_rx >= kFrameSilenceMs / 1000.0) {
            log_frame("rx", rx);   // an incomplete frame, dropped after silence
            rx.clear();
        }
        if (dirty && !opt.state_file.empty()) {
            save_state(opt.state_file, sim.state);
            dirty = false;
        }
    }

    if (!opt.state_file.empty())
        save_state(opt.state_file, sim.state);
    for (const std::string &l : links)
        unlink(l.c_str());
    if (sLog)
        std::fclose(sLog);
    close(slave);
    close(master);
    return 0;
}
