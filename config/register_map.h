// The converter's registers as the program uses them.
#pragma once

inline constexpr int REG_IDENT = 0x1F00;          // identification word: high byte IDENT_MARKER
inline constexpr int REG_MODE = 1;                // 0 both slave, 1 Tx1 master, 2 Tx2 master, 3 both master
inline constexpr int REG_DEVICE_ID = 2;           // the device's own slave address on its field ports
inline constexpr int REG_TX1_BAUD = 3;
inline constexpr int REG_TX1_FORMAT = 4;
inline constexpr int BLOCK_TX1_COMMANDS = 5;      // Tx1 command table, row by row
inline constexpr int REG_TX2_BAUD = 6;
inline constexpr int REG_TX2_FORMAT = 7;
inline constexpr int BLOCK_TX2_COMMANDS = 8;      // Tx2 command table, row by row
inline constexpr int BLOCK_DATA_BUFFER = 9;       // 500 words in one read
inline constexpr int REG_TX1_TIMEOUT = 10;
inline constexpr int REG_TX1_INTERVAL = 11;
inline constexpr int REG_TX2_TIMEOUT = 12;
inline constexpr int REG_TX2_INTERVAL = 13;

inline constexpr int IDENT_MARKER = 0xE8;
inline constexpr int COMMAND_ROWS = 40;           // rows of each command table
inline constexpr int DATA_BUFFER_WORDS = 500;
inline constexpr int ROW_READ_REPLY = 11;         // a row read is answered with 11 bytes
