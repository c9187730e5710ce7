#include "platform/port_map.h"

#include <cstdlib>
#include <unistd.h>

namespace {

struct NodeFamily {
    const char *prefix;   // device node without its index
    int first_port;       // port number of index 0
    int count;            // how many indexes the family owns
};

// Fixed, so that a number never moves while its device is present.
constexpr NodeFamily kFamilies[] = {
    {"/dev/ttyS", 1, 32},
    {"/dev/ttyUSB", 33, 64},
    {"/dev/ttyACM", 97, 64},
    {"/dev/ttyAMA", 161, 64},
};

// Parses a whole decimal index; -1 when s is empty, has other characters or
// leading zeros ("ttyS01" is not a kernel name).
int parse_index(const std::string &s)
{
    if (s.empty() || s.size() > 4 || (s.size() > 1 && s[0] == '0'))
        return -1;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

std::string Port_Run_Dir()
{
    if (const char *dir = std::getenv("ORN_RUN_DIR"); dir && *dir)
        return dir;
    if (const char *xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg)
        return std::string(xdg) + "/orn-config";
    return "/tmp/orn-config-" + std::to_string(getuid());
}

std::string Port_Device_Path(int port)
{
    if (port < COM_PORT_MIN || port > COM_PORT_MAX)
        return "";
    if (port >= COM_PORT_VIRTUAL_FIRST)
        return Port_Run_Dir() + "/COM" + std::to_string(port);
    for (const NodeFamily &f : kFamilies)
        if (port >= f.first_port && port < f.first_port + f.count)
            return f.prefix + std::to_string(port - f.first_port);
    return "";
}

int Port_Number_Of_Node(const std::string &node)
{
    for (const NodeFamily &f : kFamilies) {
        std::string prefix = f.prefix;
        if (node.compare(0, prefix.size(), prefix) != 0)
            continue;
        int index = parse_index(node.substr(prefix.size()));
        if (index >= 0 && index < f.count)
            return f.first_port + index;
    }
    std::string link_prefix = Port_Run_Dir() + "/COM";
    if (node.compare(0, link_prefix.size(), link_prefix) == 0) {
        int n = parse_index(node.substr(link_prefix.size()));
        if (n >= COM_PORT_VIRTUAL_FIRST && n <= COM_PORT_MAX)
            return n;
    }
    return 0;
}
