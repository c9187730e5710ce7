// The I/O half of an exchange, shared by ORN_RW and the block transfers.
#pragma once

#include <string>

// Empties both queues of gvCOM (a failure is noted in diag and ignored) and
// sends the request; returns ComWrt's result.
int Flush_And_Send(const unsigned char *request, int length, std::string &diag);

// Writes an exchange's diagnostic text to its file in the working folder,
// opened with mode ("w" empties it, "a" appends) and closed again.  A file
// that cannot be opened costs the diagnostics, never the exchange.
void Diag_Save(const char *file_name, const char *mode, const std::string &text);
