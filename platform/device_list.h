// The devices present on this machine, by friendly name.
#pragma once

#include <string>
#include <vector>

// One line per present device, in the system's order: USB devices by their
// product name, then every serial port with a name a user recognises, its
// device node and its port mark, e.g.
//   "Acme USB Modbus RTU Converter - /dev/ttyACM0 (COM97)"
// and simulated converters registered in the run folder as
//   "ORN simulated Modbus converter - /dev/pts/3 (COM225)".
// Serial ports without hardware behind them are left out.  False when the
// system's device listing cannot be read at all.
bool Device_List_Friendly_Names(std::vector<std::string> &names);

// Tests point the listing at a fake device tree ("" restores /sys).
void Device_List_Set_Sys_Root(const std::string &root);
