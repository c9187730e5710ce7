#include "tests/support/test_support.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#ifndef ORN_COM_OPEN_PATH
#error "ORN_COM_OPEN_PATH must name the com_open helper"
#endif
#ifndef ORN_DEVSIM_PATH
#error "ORN_DEVSIM_PATH must name the orn-devsim binary"
#endif

void ScratchDir::SetUp()
{
    char tmpl[] = "/tmp/orn-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    setenv("ORN_RUN_DIR", dir_.c_str(), 1);
}

void ScratchDir::TearDown()
{
    std::filesystem::current_path(old_cwd_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

Simulator::Simulator(int com, const std::vector<std::string> &args) : com_(com)
{
    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("pipe");
    std::string com_arg = std::to_string(com);
    std::vector<const char *> argv{ORN_DEVSIM_PATH, "--com", com_arg.c_str()};
    for (const std::string &a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execv(argv[0], const_cast<char *const *>(argv.data()));
        _exit(127);
    }
    close(out[1]);
    // The first line is the pty's path; the second the port it took.
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    pty_ = line;
    if (pty_.empty())
        throw std::runtime_error("orn-devsim did not start");
}

Simulator::~Simulator()
{
    if (pid_ > 0)
        stop();
}

void Simulator::kill_hard()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

int Simulator::stop(int signal_number)
{
    int status = -1;
    if (pid_ > 0) {
        kill(pid_, signal_number);
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    return status;
}

std::vector<std::string> Simulator::log_lines(const std::string &log_path) const
{
    std::vector<std::string> lines;
    std::istringstream in(Read_Text_File(log_path));
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

std::string Read_Text_File(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write_Text_File(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool File_Exists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string readlink_of(const std::string &path)
{
    char buf[4096];
    ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, (size_t)n) : "";
}

std::vector<uint8_t> Hex(const std::string &text)
{
    std::vector<uint8_t> out;
    std::istringstream in(text);
    for (std::string tok; in >> tok;)
        out.push_back((uint8_t)std::stoul(tok, nullptr, 16));
    return out;
}

std::string To_Hex(const uint8_t *bytes, size_t n)
{
    std::string s;
    char b[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        s += b;
    }
    return s;
}

std::vector<uint8_t> With_Crc(std::vector<uint8_t> frame)
{
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : frame) {
        crc ^= byte;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ 0xA001) : (uint16_t)(crc >> 1);
    }
    frame.push_back((uint8_t)(crc & 0xFF));
    frame.push_back((uint8_t)(crc >> 8));
    return frame;
}

int Open_In_Other_Process(int port)
{
    std::string cmd = std::string(ORN_COM_OPEN_PATH) + " " + std::to_string(port);
    FILE *p = popen(cmd.c_str(), "r");
    if (!p)
        return 1;
    int result = 1;
    if (std::fscanf(p, "%d", &result) != 1)
        result = 1;
    pclose(p);
    return result;
}

double Now_S()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}
