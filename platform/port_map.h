// The mapping between the port numbers the program speaks of ("COM%d",
// 1..256) and the device nodes of this system.  It is a fixed formula over
// the kernel's own node numbers, so a device keeps its number for as long as
// it stays plugged in, and no two nodes share a number:
//
//   COM1   .. COM32    /dev/ttyS0   .. /dev/ttyS31     on-board UARTs
//   COM33  .. COM96    /dev/ttyUSB0 .. /dev/ttyUSB63   USB serial adapters
//   COM97  .. COM160   /dev/ttyACM0 .. /dev/ttyACM63   USB CDC-ACM devices
//   COM161 .. COM224   /dev/ttyAMA0 .. /dev/ttyAMA63   ARM board UARTs
//   COM225 .. COM256   <run dir>/COM225 .. COM256      virtual ports: links
//                      made by the simulated converter (or by hand) to a pty
//
// The run dir is $ORN_RUN_DIR when set, else $XDG_RUNTIME_DIR/orn-config,
// else /tmp/orn-config-<uid>.
#pragma once

#include <string>

inline constexpr int COM_PORT_MIN = 1;
inline constexpr int COM_PORT_MAX = 256;
inline constexpr int COM_PORT_VIRTUAL_FIRST = 225;   // first number of the run-dir links

// The device node of port n, or "" when n is outside 1..256.
std::string Port_Device_Path(int port);

// The port number of a device node ("/dev/ttyACM0" gives 97, a run-dir
// link "…/COM230" gives 230), or 0 when the node has no number.
int Port_Number_Of_Node(const std::string &node);

// The per-user folder that holds the virtual-port links; not created here.
std::string Port_Run_Dir();
