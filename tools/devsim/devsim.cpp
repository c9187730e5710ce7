#include "tools/devsim/devsim.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kIdentMarker = 0xE8;
constexpr int kNoiseGapMs = 2;        // one noise byte every 2 ms
constexpr int kDefaultNoiseMs = 3000;
constexpr int kDefaultPieceGapMs = 50;
constexpr int kDefaultExceptionCode = 4;

uint16_t crc16(const uint8_t *bytes, size_t n)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ 0xA001) : (uint16_t)(crc >> 1);
    }
    return crc;
}

bool is_single_register(int address)
{
    switch (address) {
    case SIM_REG_MODE: case SIM_REG_DEVICE_ID: case SIM_REG_TX1_BAUD: case SIM_REG_TX1_FORMAT:
    case SIM_REG_TX2_BAUD: case SIM_REG_TX2_FORMAT: case SIM_REG_TX1_TIMEOUT:
    case SIM_REG_TX1_INTERVAL: case SIM_REG_TX2_TIMEOUT: case SIM_REG_TX2_INTERVAL:
        return true;
    default:
        return false;
    }
}

std::vector<uint8_t> exception_reply(uint8_t function, uint8_t code)
{
    std::vector<uint8_t> f{(uint8_t)DEVSIM_SLAVE, (uint8_t)(function | 0x80), code};
    Devsim_Append_Crc(f);
    return f;
}

void push_word(std::vector<uint8_t> &f, int word)
{
    f.push_back((uint8_t)(word >> 8));
    f.push_back((uint8_t)word);
}

// A function-3 reply carrying words; more than 255 data bytes take a
// 16-bit byte count in bytes 1-2, as the device does for its buffer.
std::vector<uint8_t> words_reply(const std::vector<int> &words)
{
    size_t count = words.size() * 2;
    std::vector<uint8_t> f{(uint8_t)DEVSIM_SLAVE};
    if (count <= 255) {
        f.push_back(3);
        f.push_back((uint8_t)count);
    } else {
        push_word(f, (int)count);
    }
    for (int w : words)
        push_word(f, w);
    Devsim_Append_Crc(f);
    return f;
}

struct Request {
    uint8_t function;
    int address;
    int field;     // count or value
};

std::vector<uint8_t> handle_read(DevsimState &s, const Request &q, bool wrong_ident)
{
    if (q.address == SIM_REG_IDENT) {
        if (q.field != 1)
            return exception_reply(3, 3);
        int ident = wrong_ident ? (s.ident & 0xFF) | 0x1200 : s.ident;
        return words_reply({ident});
    }
    if (q.address == SIM_BLOCK_TX1 || q.address == SIM_BLOCK_TX2) {
        // A row read carries the 1-based row number in its count field.
        if (q.field < 1 || q.field > DEVSIM_ROWS)
            return exception_reply(3, 3);
        const uint8_t *row = (q.address == SIM_BLOCK_TX1 ? s.tx1 : s.tx2)[q.field - 1];
        std::vector<uint8_t> f{(uint8_t)DEVSIM_SLAVE, 3, 6, row[0], row[1], row[2], row[3], row[4], row[5]};
        Devsim_Append_Crc(f);
        return f;
    }
    if (q.address == SIM_BLOCK_BUFFER) {
        if (q.field < 1 || q.field > DEVSIM_BUFFER_WORDS)
            return exception_reply(3, 3);
        return words_reply(std::vector<int>(s.buffer, s.buffer + q.field));
    }
    if (q.field < 1 || q.field > 125)
        return exception_reply(3, 3);
    std::vector<int> words;
    for (int a = q.address; a < q.address + q.field; ++a) {
        if (!is_single_register(a))
            return exception_reply(3, 2);
        words.push_back(s.regs[a]);
    }
    return words_reply(words);
}

std::vector<uint8_t> handle_write(DevsimState &s, const uint8_t *frame, size_t length, bool &changed)
{
    const Request q{frame[1], frame[2] * 256 + frame[3], frame[4] * 256 + frame[5]};
    std::vector<uint8_t> echo(frame, frame + length);
    if (length == 13) {   // row write: 0-based row index, then the six row bytes
        if (frame[4] >= DEVSIM_ROWS)
            return exception_reply(6, 3);
        uint8_t *row = (q.address == SIM_BLOCK_TX1 ? s.tx1 : s.tx2)[frame[4]];
        for (int i = 0; i < 6; ++i)
            row[i] = frame[5 + i];
        changed = true;
        return echo;
    }
    if (!is_single_register(q.address))
        return exception_reply(6, 2);
    if (q.address == SIM_REG_MODE && q.field > 3)
        return exception_reply(6, 3);
    s.regs[q.address] = q.field;
    changed = true;
    return echo;
}

const DevsimFault *active_fault(const Devsim &sim)
{
    for (const DevsimFault &f : sim.faults)
        if (sim.requests >= f.first && (f.last < 0 || sim.requests <= f.last))
            return &f;
    return nullptr;
}

// The reply as the fault shapes it on the wire.
void apply_fault(const DevsimFault *fault, const uint8_t *request, size_t request_length,
                 std::vector<uint8_t> reply, DevsimReply &out)
{
    if (!fault) {
        out.chunks.push_back({0, reply});
        return;
    }
    int param = fault->param;
    switch (fault->kind) {
    case FAULT_NO_REPLY:
        return;
    case FAULT_CRC_LO:
        reply[reply.size() - 2] ^= 0x5A;
        break;
    case FAULT_CRC_HI:
        reply.back() ^= 0x5A;
        break;
    case FAULT_EXCEPTION:
        reply = exception_reply(request[1], (uint8_t)(param ? param : kDefaultExceptionCode));
        break;
    case FAULT_SHORT: {
        size_t keep = param > 0 ? (size_t)param : reply.size() - 1;
        if (keep < reply.size())
            reply.resize(keep);
        break;
    }
    case FAULT_ECHO:
        if (request[1] == 6 && reply.size() == request_length) {
            reply.resize(reply.size() - 2);
            reply.back() = (uint8_t)(reply.back() + 1);
            Devsim_Append_Crc(reply);
        }
        break;
    case FAULT_DELAY:
        out.chunks.push_back({param, reply});
        return;
    case FAULT_PIECES: {
        int gap = param ? param : kDefaultPieceGapMs;
        size_t third = reply.size() / 3 ? reply.size() / 3 : 1;
        for (size_t at = 0; at < reply.size(); at += third) {
            size_t end = at + third < reply.size() ? at + third : reply.size();
            out.chunks.push_back({at ? gap : 0, std::vector<uint8_t>(reply.begin() + (long)at, reply.begin() + (long)end)});
        }
        return;
    }
    case FAULT_NOISE: {
        int ms = param ? param : kDefaultNoiseMs;
        for (int t = 0; t < ms; t += kNoiseGapMs)
            out.chunks.push_back({t ? kNoiseGapMs : 0, {(uint8_t)(std::rand() & 0xFF)}});
        return;
    }
    case FAULT_IDENT:
        break;
    }
    out.chunks.push_back({0, reply});
}

}  // namespace

void Devsim_Append_Crc(std::vector<uint8_t> &frame)
{
    uint16_t crc = crc16(frame.data(), frame.size());
    frame.push_back((uint8_t)(crc & 0xFF));
    frame.push_back((uint8_t)(crc >> 8));
}

void Devsim_Default_State(DevsimState &s)
{
    s = DevsimState{};
    s.ident = 0xE812;
    s.regs[SIM_REG_MODE] = 3;
    s.regs[SIM_REG_DEVICE_ID] = 1;
    s.regs[SIM_REG_TX1_BAUD] = 3;
    s.regs[SIM_REG_TX1_FORMAT] = 0;
    s.regs[SIM_REG_TX2_BAUD] = 3;
    s.regs[SIM_REG_TX2_FORMAT] = 0;
    s.regs[SIM_REG_TX1_TIMEOUT] = 1000;
    s.regs[SIM_REG_TX1_INTERVAL] = 100;
    s.regs[SIM_REG_TX2_TIMEOUT] = 1000;
    s.regs[SIM_REG_TX2_INTERVAL] = 100;
    const uint8_t tx1[][6] = {{1, 3, 0x00, 0x00, 0x00, 0x0A}, {2, 4, 0x00, 0x10, 0x00, 0x04}, {1, 6, 0x00, 0x05, 0x00, 0x01}};
    const uint8_t tx2[][6] = {{5, 3, 0x01, 0x00, 0x00, 0x02}, {6, 0x10, 0x00, 0x20, 0x00, 0x02}};
    for (size_t r = 0; r < 3; ++r)
        for (int i = 0; i < 6; ++i)
            s.tx1[r][i] = tx1[r][i];
    for (size_t r = 0; r < 2; ++r)
        for (int i = 0; i < 6; ++i)
            s.tx2[r][i] = tx2[r][i];
    s.buffer_live = true;
    Devsim_Update_Buffer(s, 0);
}

void Devsim_Update_Buffer(DevsimState &s, double now_s)
{
    if (!s.buffer_live)
        return;
    // Slow waves, half of each below zero, so polling shows signed life.
    for (int i = 0; i < DEVSIM_BUFFER_WORDS; ++i) {
        double v = 12000.0 * std::sin(2 * M_PI * (now_s / 6.0 + i / 50.0)) + (i % 7) * 100;
        s.buffer[i] = (uint16_t)(int16_t)std::lround(v);
    }
}

size_t Devsim_Frame_Length(const uint8_t *bytes, size_t n)
{
    if (n < 2)
        return 0;
    if (bytes[1] == 6) {
        if (n < 4)
            return 0;
        int address = bytes[2] * 256 + bytes[3];
        return address == SIM_BLOCK_TX1 || address == SIM_BLOCK_TX2 ? 13 : 8;
    }
    if (bytes[1] == 16) {   // write multiple: its byte count says how long
        if (n < 7)
            return 0;
        return 9 + (size_t)bytes[6];
    }
    return 8;
}

DevsimReply Devsim_Handle(Devsim &sim, const uint8_t *frame, size_t length, double now_s)
{
    DevsimReply out;
    if (length < 4 || crc16(frame, length - 2) != (frame[length - 2] | frame[length - 1] << 8))
        return out;   // a slave keeps quiet on a damaged frame
    if (frame[0] != DEVSIM_SLAVE)
        return out;
    ++sim.requests;
    const DevsimFault *fault = active_fault(sim);
    Devsim_Update_Buffer(sim.state, now_s);

    std::vector<uint8_t> reply;
    uint8_t function = frame[1];
    if (function == 3 && length == 8) {
        bool wrong_ident = fault && fault->kind == FAULT_IDENT;
        reply = handle_read(sim.state, {3, frame[2] * 256 + frame[3], frame[4] * 256 + frame[5]}, wrong_ident);
    } else if (function == 6 && (length == 8 || length == 13)) {
        reply = handle_write(sim.state, frame, length, out.state_changed);
    } else {
        reply = exception_reply(function, 1);
    }
    apply_fault(fault, frame, length, reply, out);
    return out;
}

bool Devsim_Parse_Fault(const std::string &text, DevsimFault &fault, std::string &error)
{
    static const struct { const char *name; DevsimFaultKind kind; } kinds[] = {
        {"none", FAULT_NO_REPLY}, {"crc_lo", FAULT_CRC_LO}, {"crc_hi", FAULT_CRC_HI},
        {"exception", FAULT_EXCEPTION}, {"short", FAULT_SHORT}, {"ident", FAULT_IDENT},
        {"delay", FAULT_DELAY}, {"pieces", FAULT_PIECES}, {"noise", FAULT_NOISE}, {"echo", FAULT_ECHO},
    };
    fault = DevsimFault{};
    std::string body = text, when;
    size_t at = body.find('@');
    if (at != std::string::npos) {
        when = body.substr(at + 1);
        body.resize(at);
    }
    std::string name = body, param;
    if (size_t eq = body.find('='); eq != std::string::npos) {
        name = body.substr(0, eq);
        param = body.substr(eq + 1);
    }
    bool known = false;
    for (const auto &k : kinds)
        if (name == k.name) {
            fault.kind = k.kind;
            known = true;
        }
    if (!known) {
        error = "unknown fault '" + name + "'";
        return false;
    }
    char *end = nullptr;
    if (!param.empty()) {
        long v = std::strtol(param.c_str(), &end, 10);
        if (*end || v < 0 || v > 600000) {
            error = "bad fault parameter '" + param + "'";
            return false;
        }
        fault.param = (int)v;
    }
    if (at != std::string::npos) {
        bool onwards = when.back() == '+';
        if (onwards && !when.empty())
            when.pop_back();
        long n = std::strtol(when.c_str(), &end, 10);
        if (when.empty() || *end || n < 1) {
            error = "bad request number in '" + text + "'";
            return false;
        }
        fault.first = n;
        fault.last = onwards ? -1 : n;
    }
    return true;
}
