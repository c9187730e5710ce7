// Serial ports over POSIX termios.  Exclusivity as on Windows: TIOCEXCL
// keeps other users out, an advisory flock keeps out other processes (root
// included, which TIOCEXCL does not stop) and UUCP lock files of other
// programs are honoured.
#include "platform/serial.h"

#include "platform/orn_status.h"
#include "platform/port_map.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct OpenPort {
    int fd = -1;             // descriptor while open, -1 otherwise
    double timeout_s = 0;    // deadline of one ComRd / ComWrt call
};

// Ports this process holds, indexed by port number (slot 0 unused).
OpenPort sPorts[COM_PORT_MAX + 1];

// Time-out a newly opened port starts with.
double sDefaultTimeout = COM_DEFAULT_TIMEOUT_S;

// Ports served from memory (tests and fuzzing), and how many there are.
struct MemoryPort {
    bool active = false;
    std::vector<unsigned char> reply;   // what ComRd hands out
    size_t at = 0;                      // how much of it was read
};
MemoryPort sMemory[COM_PORT_MAX + 1];
int sMemoryPorts = 0;

MemoryPort *memory_port(int port)
{
    return port >= COM_PORT_MIN && port <= COM_PORT_MAX && sMemory[port].active ? &sMemory[port] : nullptr;
}

bool valid_port(int port) { return port >= COM_PORT_MIN && port <= COM_PORT_MAX; }

OpenPort *open_port(int port)
{
    if (!valid_port(port) || sPorts[port].fd < 0)
        return nullptr;
    return &sPorts[port];
}

int errno_to_status(int err)
{
    switch (err) {
    case EIO: case ENXIO: case ENODEV: case EBADF: case EPIPE:
        return COM_ERR_GONE;
    default:
        return COM_ERR_IO;
    }
}

timespec monotonic_now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

timespec add_seconds(timespec t, double s)
{
    long long ns = t.tv_nsec + (long long)std::llround(s * 1e9);
    t.tv_sec += ns / 1000000000LL;
    t.tv_nsec = ns % 1000000000LL;
    return t;
}

// Time left until deadline, never negative.
timespec remaining(const timespec &deadline)
{
    timespec now = monotonic_now();
    long long ns = (deadline.tv_sec - now.tv_sec) * 1000000000LL + (deadline.tv_nsec - now.tv_nsec);
    if (ns < 0)
        ns = 0;
    return timespec{(time_t)(ns / 1000000000LL), (long)(ns % 1000000000LL)};
}

// Waits for the events on fd until deadline: 1 ready, 0 time-out, or a
// negative code when the device hung up.
int wait_for(int fd, short events, const timespec &deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        timespec left = remaining(deadline);
        int n = ppoll(&p, 1, &left, nullptr);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno_to_status(errno);
        }
        if (n == 0)
            return 0;
        if (p.revents & events)
            return 1;
        return COM_ERR_GONE;   // POLLHUP, POLLERR or POLLNVAL alone
    }
}

// True while another live process holds a UUCP lock file on the node.
bool locked_by_other_program(const std::string &node)
{
    std::string base = node.substr(node.find_last_of('/') + 1);
    for (const char *dir : {"/run/lock", "/var/lock"}) {
        std::string lock = std::string(dir) + "/LCK.." + base;
        FILE *f = std::fopen(lock.c_str(), "r");
        if (!f)
            continue;
        long pid = 0;
        int got = std::fscanf(f, "%ld", &pid);
        std::fclose(f);
        if (got != 1 || pid <= 0 || pid > INT_MAX)
            return true;   // a lock we cannot read is still a lock
        if (pid == getpid())
            continue;
        if (kill((pid_t)pid, 0) == 0 || errno == EPERM)
            return true;
    }
    return false;
}

// A legacy 8250 port that the kernel lists without hardware behind it.
bool phantom_uart(int fd, const std::string &node)
{
    if (node.rfind("/dev/ttyS", 0) != 0)
        return false;
    serial_struct ss{};
    return ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type == PORT_UNKNOWN;
}

int set_raw_9600_8n1(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return COM_ERR_NOT_SERIAL;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // VMIN 1: with O_NONBLOCK an empty queue then reads EAGAIN, and a read
    // of 0 bytes means hang-up (VMIN 0 would read 0 for "nothing yet").
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    if (tcsetattr(fd, TCSANOW, &t) != 0)
        return COM_ERR_NOT_SERIAL;
    return 0;
}

// Opens and claims the node; the descriptor, or a negative code.
int claim_node(const std::string &node)
{
    if (locked_by_other_program(node))
        return COM_ERR_BUSY;
    int fd = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EBUSY: return COM_ERR_BUSY;
        case EACCES: case EPERM: return COM_ERR_DENIED;
        case ENOENT: case ENXIO: case ENODEV: return COM_ERR_NO_DEVICE;
        default: return COM_ERR_NOT_SERIAL;
        }
    }
    int status = 0;
    int held_exclusively = 0;   // TIOCEXCL of another program (root opens through it)
    if (!isatty(fd) || phantom_uart(fd, node))
        status = COM_ERR_NOT_SERIAL;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        status = COM_ERR_BUSY;
    else if (ioctl(fd, TIOCGEXCL, &held_exclusively) == 0 && held_exclusively)
        status = COM_ERR_BUSY;
    else if (ioctl(fd, TIOCEXCL) != 0)
        status = COM_ERR_NOT_SERIAL;
    else
        status = set_raw_9600_8n1(fd);
    if (status < 0) {
        close(fd);
        return status;
    }
    return fd;
}

void release(OpenPort &p)
{
    // TIOCEXCL outlives us when another descriptor keeps the tty open (a
    // simulator holds its pty's slave side): lift it before letting go.
    ioctl(p.fd, TIOCNXCL);
    close(p.fd);
    p.fd = -1;
}

// An open descriptor whose device has hung up is of no more use.
bool hung_up(int fd)
{
    pollfd p{fd, 0, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

}  // namespace

int OpenCom(int port, const char * /*device_name*/)
{
    if (!valid_port(port))
        return COM_ERR_BAD_PORT;
    if (memory_port(port))
        return 0;
    OpenPort &p = sPorts[port];
    if (p.fd >= 0) {
        if (!hung_up(p.fd))
            return 0;
        release(p);
    }
    std::string path = Port_Device_Path(port);
    char real[PATH_MAX];
    if (!realpath(path.c_str(), real))
        return COM_ERR_NO_DEVICE;
    int fd = claim_node(real);
    if (fd < 0)
        return fd;
    p.fd = fd;
    p.timeout_s = sDefaultTimeout;
    return 0;
}

int CloseCom(int port)
{
    if (memory_port(port))
        return 0;
    OpenPort *p = open_port(port);
    if (!p)
        return valid_port(port) ? COM_ERR_NOT_OPEN : COM_ERR_BAD_PORT;
    release(*p);
    return 0;
}

int FlushInQ(int port)
{
    if (memory_port(port))
        return 0;
    OpenPort *p = open_port(port);
    if (!p)
        return COM_ERR_NOT_OPEN;
    return tcflush(p->fd, TCIFLUSH) == 0 ? 0 : errno_to_status(errno);
}

int FlushOutQ(int port)
{
    if (memory_port(port))
        return 0;
    OpenPort *p = open_port(port);
    if (!p)
        return COM_ERR_NOT_OPEN;
    return tcflush(p->fd, TCOFLUSH) == 0 ? 0 : errno_to_status(errno);
}

int ComWrt(int port, const void *buffer, int count)
{
    if (memory_port(port))
        return count < 0 || (count > 0 && !buffer) ? ORN_BAD_ARGUMENT : count;
    OpenPort *p = open_port(port);
    if (!p)
        return COM_ERR_NOT_OPEN;
    if (count < 0 || (count > 0 && !buffer))
        return ORN_BAD_ARGUMENT;
    const unsigned char *bytes = static_cast<const unsigned char *>(buffer);
    timespec deadline = add_seconds(monotonic_now(), p->timeout_s);
    int sent = 0;
    while (sent < count) {
        ssize_t n = write(p->fd, bytes + sent, (size_t)(count - sent));
        if (n > 0) {
            sent += (int)n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return errno_to_status(errno);
        int ready = wait_for(p->fd, POLLOUT, deadline);
        if (ready < 0)
            return ready;
        if (ready == 0)
            return sent > 0 ? sent : COM_ERR_WRITE_TIMEOUT;
    }
    return sent;
}

int ComRd(int port, void *buffer, int count)
{
    if (MemoryPort *m = memory_port(port)) {
        if (count < 0 || (count > 0 && !buffer))
            return ORN_BAD_ARGUMENT;
        size_t n = std::min((size_t)count, m->reply.size() - m->at);
        std::copy(m->reply.begin() + (long)m->at, m->reply.begin() + (long)(m->at + n), static_cast<unsigned char *>(buffer));
        m->at += n;
        return (int)n;
    }
    OpenPort *p = open_port(port);
    if (!p)
        return COM_ERR_NOT_OPEN;
    if (count < 0 || (count > 0 && !buffer))
        return ORN_BAD_ARGUMENT;
    unsigned char *bytes = static_cast<unsigned char *>(buffer);
    timespec deadline = add_seconds(monotonic_now(), p->timeout_s);
    int got = 0;
    while (got < count) {
        ssize_t n = read(p->fd, bytes + got, (size_t)(count - got));
        if (n > 0) {
            got += (int)n;
            continue;
        }
        if (n == 0)
            return COM_ERR_GONE;   // a tty reads 0 bytes only after hang-up
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return errno_to_status(errno);
        int ready = wait_for(p->fd, POLLIN, deadline);
        if (ready < 0)
            return ready;
        if (ready == 0)
            break;
    }
    return got;
}

int SetComTime(int port, double seconds)
{
    OpenPort *p = open_port(port);
    if (!p)
        return COM_ERR_NOT_OPEN;
    if (!(seconds >= 0))
        return ORN_BAD_ARGUMENT;
    p->timeout_s = seconds;
    return 0;
}

void Com_Set_Default_Timeout(double seconds)
{
    if (seconds >= 0)
        sDefaultTimeout = seconds;
}

void Com_Serve_From_Memory(int port, const unsigned char *reply, int length)
{
    if (!valid_port(port))
        return;
    MemoryPort &m = sMemory[port];
    if (length < 0) {
        sMemoryPorts -= m.active ? 1 : 0;
        m = MemoryPort{};
        return;
    }
    sMemoryPorts += m.active ? 0 : 1;
    m.active = true;
    m.reply.assign(reply, reply + length);
    m.at = 0;
}

void Delay(double seconds)
{
    if (!(seconds > 0) || sMemoryPorts > 0)
        return;
    // The default 50 us timer slack would be most of Delay's error.
    static const bool slack_set = prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0) == 0;
    (void)slack_set;
    timespec until = add_seconds(monotonic_now(), seconds);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
