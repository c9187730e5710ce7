// orn-devsim: a simulated protocol converter answering as Modbus RTU slave 1.
// The core is a pure function from one request frame to the reply chunks
// to send; devsim_main.cpp puts it on a pseudo-terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int DEVSIM_SLAVE = 1;
inline constexpr int DEVSIM_ROWS = 40;           // rows of each command table
inline constexpr int DEVSIM_BUFFER_WORDS = 500;  // words of the data buffer

// Register addresses the device answers.
enum DevsimRegister {
    SIM_REG_MODE = 1, SIM_REG_DEVICE_ID = 2, SIM_REG_TX1_BAUD = 3, SIM_REG_TX1_FORMAT = 4,
    SIM_BLOCK_TX1 = 5, SIM_REG_TX2_BAUD = 6, SIM_REG_TX2_FORMAT = 7, SIM_BLOCK_TX2 = 8,
    SIM_BLOCK_BUFFER = 9, SIM_REG_TX1_TIMEOUT = 10, SIM_REG_TX1_INTERVAL = 11,
    SIM_REG_TX2_TIMEOUT = 12, SIM_REG_TX2_INTERVAL = 13, SIM_REG_IDENT = 0x1F00,
};

struct DevsimState {
    int ident = 0;                          // identification word (high byte 0xE8)
    int regs[14] = {};                      // single registers by address 1..13
    uint8_t tx1[DEVSIM_ROWS][6] = {};       // Tx1 command table
    uint8_t tx2[DEVSIM_ROWS][6] = {};       // Tx2 command table
    uint16_t buffer[DEVSIM_BUFFER_WORDS] = {};  // data buffer, raw words
    bool buffer_live = true;                // words move with time
};

enum DevsimFaultKind {
    FAULT_NO_REPLY,    // "none": say nothing
    FAULT_CRC_LO,      // "crc_lo": wrong CRC low byte
    FAULT_CRC_HI,      // "crc_hi": wrong CRC high byte
    FAULT_EXCEPTION,   // "exception[=code]": exception reply, code 4 unless given
    FAULT_SHORT,       // "short[=n]": only the first n bytes (all but the last)
    FAULT_IDENT,       // "ident": identification word with a wrong high byte
    FAULT_DELAY,       // "delay=ms": the reply after ms milliseconds
    FAULT_PIECES,      // "pieces[=ms]": three pieces, ms apart (50)
    FAULT_NOISE,       // "noise[=ms]": random bytes for ms (3000), no reply
    FAULT_ECHO,        // "echo": a write echo carrying another value
};

struct DevsimFault {
    DevsimFaultKind kind = FAULT_NO_REPLY;
    int param = 0;         // the kind's number; 0 for its default
    long first = 1;        // first request (1-based) it applies to
    long last = -1;        // last request, -1 for no end
};

struct Devsim {
    DevsimState state;
    std::vector<DevsimFault> faults;
    long requests = 0;     // request frames handled so far
};

// Bytes to send after a pause.
struct DevsimChunk {
    int delay_ms = 0;
    std::vector<uint8_t> bytes;
};

struct DevsimReply {
    std::vector<DevsimChunk> chunks;   // empty: no reply
    bool state_changed = false;        // a write changed the configuration
};

// The documented initial configuration.
void Devsim_Default_State(DevsimState &state);

// Length of the request frame that starts the buffer, from its first bytes,
// or 0 when more bytes are needed to tell.
size_t Devsim_Frame_Length(const uint8_t *bytes, size_t n);

// Answers one whole request frame; now_s is the simulator's clock, which
// moves the live data buffer.
DevsimReply Devsim_Handle(Devsim &sim, const uint8_t *frame, size_t length, double now_s);

// Moves a live buffer to its values at time now_s.
void Devsim_Update_Buffer(DevsimState &state, double now_s);

// "kind[=param][@N|@N+]": always, the N-th request only, or from the N-th on.
bool Devsim_Parse_Fault(const std::string &text, DevsimFault &fault, std::string &error);

// The state as a readable "name = value" file, and back.  Parsing starts
// from the state given, so a file may name only what it changes.
std::string Devsim_State_Text(const DevsimState &state);
bool Devsim_Parse_State(const std::string &text, DevsimState &state, std::string &error);

// Modbus CRC-16 appended low byte first.
void Devsim_Append_Crc(std::vector<uint8_t> &frame);
