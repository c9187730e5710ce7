// What the tests share: a scratch folder that is also the working folder
// and the run dir of the virtual ports, the simulated converter as a real
// child process on a real pty, and small helpers for bytes and files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder made the working folder (the program writes its
// diagnostic files there) and the run dir (ORN_RUN_DIR) for the test.
class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string &name) const { return dir_ + "/" + name; }
    std::string dir_;

private:
    std::string old_cwd_;
};

// orn-devsim run as a child with the given arguments, registered as port
// `com`; stopped with SIGTERM when it goes out of scope.
class Simulator {
public:
    Simulator(int com, const std::vector<std::string> &args = {});
    ~Simulator();
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    const std::string &pty() const { return pty_; }
    int com() const { return com_; }
    void kill_hard();                 // SIGKILL: the device vanishes
    int stop(int signal_number = 15);   // signal (SIGTERM) and wait; the wait status
    // The traffic log's lines (needs "--log" among the arguments).
    std::vector<std::string> log_lines(const std::string &log_path) const;

private:
    int pid_ = -1;
    int com_;
    std::string pty_;
};

std::string Read_Text_File(const std::string &path);
void Write_Text_File(const std::string &path, const std::string &text);
bool File_Exists(const std::string &path);
std::string readlink_of(const std::string &path);   // "" when not a link

// "01 03 1F 00" -> bytes; and back in the same form.
std::vector<uint8_t> Hex(const std::string &text);
std::string To_Hex(const uint8_t *bytes, size_t n);
inline std::string To_Hex(const std::vector<uint8_t> &v) { return To_Hex(v.data(), v.size()); }

// Appends the Modbus CRC, computed independently of the code under test.
std::vector<uint8_t> With_Crc(std::vector<uint8_t> frame);

// OpenCom(port) run in a separate process: its result.
int Open_In_Other_Process(int port);

// Seconds on the monotonic clock.
double Now_S();
