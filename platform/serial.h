// Serial ports by number, in the manner of the Windows serial library the
// program was first written for.  A port is opened exclusively, runs raw
// 9600 8N1 without flow control, and every call returns a count or one of
// the COM_ERR_ codes of orn_status.h.  Port numbers map to device nodes as
// port_map.h tells.
#pragma once

#include <cstddef>

// How long ComRd waits for the asked count, and ComWrt for the line to take
// the bytes: one deadline for the whole call, never restarted by a byte.
inline constexpr double COM_DEFAULT_TIMEOUT_S = 1.0;

// Opens port n.  0 when the port is open for the calls below (also when this
// process already holds it open); a negative COM_ERR_ code when it cannot be
// opened: absent, held by another program or process, or not a serial line.
// The device name ("COM%d") is accepted for the caller's sake; the number
// decides.
int OpenCom(int port, const char *device_name);

// Releases port n.  Harmless on a port that is not open.
int CloseCom(int port);

// Drop what was received and not yet read / written and not yet sent.
int FlushInQ(int port);
int FlushOutQ(int port);

// Writes count bytes; returns the number written (short only when the
// time-out ended first) or a negative code.
int ComWrt(int port, const void *buffer, int count);

// Reads until count bytes have arrived or the time-out has ended; returns
// the number received (0 when none came) or a negative code, e.g. when the
// device vanished.
int ComRd(int port, void *buffer, int count);

// The time-out of an open port, in seconds.
int SetComTime(int port, double seconds);

// The time-out that ports opened from now on start with (tests shorten it).
void Com_Set_Default_Timeout(double seconds);

// Waits the given seconds, to about a millisecond.
void Delay(double seconds);

// For tests and fuzzing: port n answers from memory instead of a device.
// It opens, takes every write, and hands out `reply` to ComRd as far as it
// goes (then nothing, at once).  While any port is served from memory,
// Delay does not wait: such a port has answered already.  A length below
// 0 ends it.
void Com_Serve_From_Memory(int port, const unsigned char *reply, int length);
