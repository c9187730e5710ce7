// The simulator's state file: one "name = value" per line, '#' starts a
// comment.  Registers are numbers (decimal or 0x hex), command rows six hex
// bytes, the buffer ten signed words per line starting at the named index.
#include "tools/devsim/devsim.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

struct NamedRegister {
    const char *name;
    int address;
};

constexpr NamedRegister kRegisters[] = {
    {"mode", SIM_REG_MODE}, {"device_id", SIM_REG_DEVICE_ID},
    {"tx1_baud", SIM_REG_TX1_BAUD}, {"tx1_format", SIM_REG_TX1_FORMAT},
    {"tx2_baud", SIM_REG_TX2_BAUD}, {"tx2_format", SIM_REG_TX2_FORMAT},
    {"tx1_timeout", SIM_REG_TX1_TIMEOUT}, {"tx1_interval", SIM_REG_TX1_INTERVAL},
    {"tx2_timeout", SIM_REG_TX2_TIMEOUT}, {"tx2_interval", SIM_REG_TX2_INTERVAL},
};

constexpr int kBufferPerLine = 10;

std::string trim(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool parse_number(const std::string &s, long lo, long hi, long &out)
{
    if (s.empty())
        return false;
    bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    char *end = nullptr;
    long v = std::strtol(s.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (*end || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

// "tx1_row_17" gives table 1, row 17.
bool parse_row_name(const std::string &name, int &table, int &row)
{
    if (name.size() < 9 || name.compare(0, 2, "tx") != 0 || name.compare(3, 5, "_row_") != 0)
        return false;
    if (name[2] != '1' && name[2] != '2')
        return false;
    long r;
    if (!parse_number(name.substr(8), 1, DEVSIM_ROWS, r) || name[8] == '0')
        return false;
    table = name[2] - '0';
    row = (int)r;
    return true;
}

bool parse_row_bytes(const std::string &value, uint8_t out[6])
{
    std::istringstream in(value);
    std::string tok;
    int n = 0;
    while (in >> tok) {
        long b;
        if (n == 6 || tok.size() > 2 || !parse_number("0x" + tok, 0, 255, b) || tok[0] == '-' || tok[0] == '+')
            return false;
        out[n++] = (uint8_t)b;
    }
    return n == 6;
}

bool parse_buffer_line(const std::string &name, const std::string &value, DevsimState &s)
{
    long first;
    if (!parse_number(name.substr(7), 0, DEVSIM_BUFFER_WORDS - 1, first))
        return false;
    std::istringstream in(value);
    std::string tok;
    long i = first;
    while (in >> tok) {
        long w;
        if (i >= DEVSIM_BUFFER_WORDS || !parse_number(tok, -32768, 65535, w))
            return false;
        s.buffer[i++] = (uint16_t)w;
    }
    return i > first;
}

bool apply_line(const std::string &name, const std::string &value, DevsimState &s)
{
    long v;
    if (name == "ident")
        return parse_number(value, 0, 0xFFFF, v) && ((s.ident = (int)v), true);
    if (name == "buffer_live")
        return parse_number(value, 0, 1, v) && ((s.buffer_live = v != 0), true);
    for (const NamedRegister &r : kRegisters)
        if (name == r.name)
            return parse_number(value, 0, 0xFFFF, v) && ((s.regs[r.address] = (int)v), true);
    int table, row;
    if (parse_row_name(name, table, row))
        return parse_row_bytes(value, (table == 1 ? s.tx1 : s.tx2)[row - 1]);
    if (name.compare(0, 7, "buffer_") == 0)
        return parse_buffer_line(name, value, s);
    return false;
}

}  // namespace

std::string Devsim_State_Text(const DevsimState &s)
{
    std::string out = "# orn-devsim state: name = value; rows are six hex bytes\n"
                      "# (slave, function, address hi, lo, count or value hi, lo)\n";
    char line[160];
    std::snprintf(line, sizeof line, "ident = 0x%04X\n", s.ident);
    out += line;
    for (const NamedRegister &r : kRegisters) {
        std::snprintf(line, sizeof line, "%s = %d\n", r.name, s.regs[r.address]);
        out += line;
    }
    for (int t = 1; t <= 2; ++t)
        for (int r = 0; r < DEVSIM_ROWS; ++r) {
            const uint8_t *b = (t == 1 ? s.tx1 : s.tx2)[r];
            std::snprintf(line, sizeof line, "tx%d_row_%d = %02X %02X %02X %02X %02X %02X\n", t, r + 1,
                          b[0], b[1], b[2], b[3], b[4], b[5]);
            out += line;
        }
    out += s.buffer_live ? "buffer_live = 1\n" : "buffer_live = 0\n";
    for (int i = 0; i < DEVSIM_BUFFER_WORDS; i += kBufferPerLine) {
        out += "buffer_" + std::to_string(i) + " =";
        for (int k = i; k < i + kBufferPerLine; ++k)
            out += " " + std::to_string((int16_t)s.buffer[k]);
        out += "\n";
    }
    return out;
}

bool Devsim_Parse_State(const std::string &text, DevsimState &state, std::string &error)
{
    DevsimState s = state;
    std::istringstream in(text);
    std::string raw;
    int line_no = 0;
    while (std::getline(in, raw)) {
        ++line_no;
        std::string line = trim(raw.substr(0, raw.find('#')));
        if (line.empty())
            continue;
        size_t eq = line.find('=');
        std::string name = eq == std::string::npos ? line : trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? "" : trim(line.substr(eq + 1));
        if (eq == std::string::npos || !apply_line(name, value, s)) {
            error = "line " + std::to_string(line_no) + ": cannot read '" + trim(raw) + "'";
            return false;
        }
    }
    state = s;
    return true;
}
