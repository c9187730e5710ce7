#include "platform/device_list.h"

#include "platform/port_map.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string sSysRoot = "/sys";   // where the kernel's device tree is read

// The first line of a small attribute file, "" when there is none.
std::string attribute(const fs::path &file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// A name split into its stem and trailing number ("ttyACM10": "ttyACM", 10).
std::pair<std::string, long> stem_and_number(const std::string &name)
{
    size_t digits = name.find_last_not_of("0123456789") + 1;
    if (digits == name.size() || name.size() - digits > 9)
        return {name, -1};
    return {name.substr(0, digits), std::atol(name.c_str() + digits)};
}

// Directory entries in natural order (ttyACM2 before ttyACM10): the kernel
// hands them out in no fixed order.
std::vector<fs::path> entries(const fs::path &dir)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        out.push_back(it->path());
    std::sort(out.begin(), out.end(), [](const fs::path &a, const fs::path &b) {
        return stem_and_number(a.filename().string()) < stem_and_number(b.filename().string());
    });
    return out;
}

// The USB device a tty belongs to: the nearest parent with an idVendor.
fs::path usb_device_of(const fs::path &tty)
{
    std::error_code ec;
    fs::path dir = fs::canonical(tty / "device", ec);
    for (int up = 0; !ec && up < 4 && !dir.empty(); ++up, dir = dir.parent_path())
        if (fs::exists(dir / "idVendor"))
            return dir;
    return {};
}

std::string usb_name(const fs::path &usb)
{
    std::string product = attribute(usb / "product");
    std::string maker = attribute(usb / "manufacturer");
    if (product.empty())
        product = "USB device " + attribute(usb / "idVendor") + ":" + attribute(usb / "idProduct");
    if (!maker.empty() && product.find(maker) == std::string::npos)
        return maker + " " + product;
    return product;
}

void list_usb_devices(std::vector<std::string> &names)
{
    for (const fs::path &dev : entries(sSysRoot + "/bus/usb/devices")) {
        std::string leaf = dev.filename().string();
        if (leaf.find(':') != std::string::npos || !fs::exists(dev / "idVendor"))
            continue;   // interfaces, not devices
        names.push_back(usb_name(dev));
    }
}

void list_serial_ports(std::vector<std::string> &names)
{
    for (const fs::path &tty : entries(sSysRoot + "/class/tty")) {
        std::string node = "/dev/" + tty.filename().string();
        int port = Port_Number_Of_Node(node);
        if (port == 0 || !fs::exists(tty / "device"))
            continue;   // virtual terminals and nodes without a port number
        // A legacy UART the kernel lists without hardware has type 0.
        if (node.rfind("/dev/ttyS", 0) == 0 && attribute(tty / "type") == "0")
            continue;
        fs::path usb = usb_device_of(tty);
        std::string name = usb.empty() ? "Serial port" : usb_name(usb);
        names.push_back(name + " - " + node + " (COM" + std::to_string(port) + ")");
    }
}

// Simulated converters: live links COM225.. in the run folder.
void list_simulators(std::vector<std::string> &names)
{
    for (int port = COM_PORT_VIRTUAL_FIRST; port <= COM_PORT_MAX; ++port) {
        std::string link = Port_Device_Path(port);
        std::error_code ec;
        fs::path target = fs::read_symlink(link, ec);
        if (ec || !fs::exists(target))
            continue;
        long pid = std::atol(attribute(link + ".pid").c_str());
        if (pid <= 0 || (kill((pid_t)pid, 0) != 0 && errno != EPERM))
            continue;   // left behind by a simulator that was killed
        names.push_back("ORN simulated Modbus converter - " + target.string() + " (COM" + std::to_string(port) + ")");
    }
}

}  // namespace

void Device_List_Set_Sys_Root(const std::string &root)
{
    sSysRoot = root.empty() ? "/sys" : root;
}

bool Device_List_Friendly_Names(std::vector<std::string> &names)
{
    names.clear();
    if (!fs::is_directory(sSysRoot + "/class/tty"))
        return false;
    list_usb_devices(names);
    list_serial_ports(names);
    list_simulators(names);
    return true;
}
