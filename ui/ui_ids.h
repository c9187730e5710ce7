// Ids of the panels, controls, menus and menu items of the program's two
// resource files beside this header: Scan.uir (the scan panel) and
// Tarvox.uir (the main panel and its menu bar).  The numbers are fixed by
// those files, where each object carries its id as the ornId property and
// its constant's name as objectName; change one only together with them.
#pragma once

// Panel and menu bar resource numbers within their files.
inline constexpr int SCAN    = 1;   // Scan.uir
inline constexpr int MAIN    = 1;   // Tarvox.uir
inline constexpr int MENUBAR = 1;   // menu bar of MAIN

// Scan panel (SCAN).
inline constexpr int SCAN_MODE     = 3;   // on/off: show the main panel maximised
inline constexpr int SCAN_COM_LIST = 4;   // list box: ports that open; value = port number
inline constexpr int SCAN_PROGRESS = 5;   // progress of the first read, 0-3
inline constexpr int SCAN_STATUS   = 6;   // colour-coded status text
inline constexpr int SCAN_RESCAN   = 7;   // button: run port discovery again

// Main panel (MAIN).
inline constexpr int MAIN_DEVICE_ID       = 2;    // numeric: device's own slave address (register 2)
inline constexpr int MAIN_WRITE_ALL       = 3;    // button: Write all
inline constexpr int MAIN_READ_BUFFER     = 4;    // toggle: poll the data buffer
inline constexpr int MAIN_PROGRESS        = 5;    // progress of Read all / Write all
inline constexpr int MAIN_READ_ALL        = 6;    // button: Read all
inline constexpr int MAIN_TX2_BAUD        = 7;    // numeric: Tx2 baud-rate code (register 6)
inline constexpr int MAIN_TX2_FORMAT      = 8;    // numeric: Tx2 format code (register 7)
inline constexpr int MAIN_TX2_COMMANDS    = 9;    // table 40 x 4: Tx2 command rows
inline constexpr int MAIN_TX1_COMMANDS    = 10;   // table 40 x 4: Tx1 command rows
inline constexpr int MAIN_TX1_BAUD        = 11;   // numeric: Tx1 baud-rate code (register 3)
inline constexpr int MAIN_TX1_FORMAT      = 12;   // numeric: Tx1 format code (register 4)
inline constexpr int MAIN_DATA_BUFFER     = 13;   // table 500 x 1: data buffer words
inline constexpr int MAIN_STATUS          = 14;   // colour-coded status text
inline constexpr int MAIN_REG1F00_TEXT    = 15;   // text: low byte of the identification word
inline constexpr int MAIN_TX1_SLAVE       = 16;   // toggle: Tx1 is slave
inline constexpr int MAIN_TX1_MASTER      = 17;   // toggle: Tx1 is master
inline constexpr int MAIN_TX2_SLAVE       = 18;   // toggle: Tx2 is slave
inline constexpr int MAIN_TX1_SLAVE_PIC   = 19;   // picture
inline constexpr int MAIN_TX1_MASTER_PIC  = 20;   // picture
inline constexpr int MAIN_TX2_MASTER      = 21;   // toggle: Tx2 is master
inline constexpr int MAIN_TX2_SLAVE_PIC   = 23;   // picture
inline constexpr int MAIN_TX2_MASTER_PIC  = 24;   // picture
inline constexpr int MAIN_TX2_TIMEOUT     = 25;   // numeric: Tx2 reply time-out (register 12)
inline constexpr int MAIN_TX2_INTERVAL    = 26;   // numeric: Tx2 command interval (register 13)
inline constexpr int MAIN_TX1_INTERVAL    = 27;   // numeric: Tx1 command interval (register 11)
inline constexpr int MAIN_TX1_TIMEOUT     = 28;   // numeric: Tx1 reply time-out (register 10)
inline constexpr int MAIN_OPERATION_TEXT  = 29;   // caption text, set by language
inline constexpr int MAIN_TX2_MASTER_AUX1 = 30;   // caption shown while Tx2 is master
inline constexpr int MAIN_TX2_MASTER_AUX2 = 31;   // caption shown while Tx2 is master
inline constexpr int MAIN_TX1_MASTER_AUX1 = 32;   // caption shown while Tx1 is master
inline constexpr int MAIN_TX1_MASTER_AUX2 = 33;   // caption shown while Tx1 is master
inline constexpr int MAIN_WRITE_TIMER     = 35;   // one-shot timer: runs Write all
inline constexpr int MAIN_READ_TIMER      = 36;   // one-shot timer: runs Read all
inline constexpr int MAIN_BUFFER_TIMER    = 37;   // repeating timer: polls the data buffer

// Menu bar (MENUBAR): menus and items share one numbering.
inline constexpr int MENUBAR_VCOM          = 2;    // menu "Virtual Com"
inline constexpr int MENUBAR_VCOM_SCAN     = 3;
inline constexpr int MENUBAR_VCOM_EXIT     = 4;
inline constexpr int MENUBAR_TX1           = 5;    // menu "Tx1 Commands"
inline constexpr int MENUBAR_TX1_SAVE      = 6;
inline constexpr int MENUBAR_TX1_LOAD      = 7;
inline constexpr int MENUBAR_TX1_CLEAR     = 8;
inline constexpr int MENUBAR_TX2           = 9;    // menu "Tx2 Commands"
inline constexpr int MENUBAR_TX2_SAVE      = 10;
inline constexpr int MENUBAR_TX2_LOAD      = 11;
inline constexpr int MENUBAR_TX2_CLEAR     = 12;
inline constexpr int MENUBAR_HELP          = 13;   // menu "Help"
inline constexpr int MENUBAR_HELP_CONTENTS = 14;
inline constexpr int MENUBAR_LANG          = 15;   // menu "Language"
inline constexpr int MENUBAR_LANG_ENGLISH  = 16;   // item with check mark
inline constexpr int MENUBAR_LANG_TCHINESE = 17;   // item with check mark
