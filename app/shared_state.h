// The program's shared state: module-level variables, zero at start, each
// written by the one place its comment names.
#pragma once

inline constexpr int ORN_FRAME_MAX = 128;   // size of the block request buffer

extern int gvPanel;      // handle of the main panel (start-up)
extern int gvScan;       // handle of the scan panel (start-up)
extern int gvMenu;       // menu bar of the main panel (start-up)
extern int gvCOM;        // number of the port in use; 0 until one is chosen
extern int gvORN_ID;     // slave address of every request; 1 once a port is chosen
extern int gvLang;       // 0 English, 1 Traditional Chinese
extern int gQuit;        // 1 once a way out was taken
extern unsigned char aUSB_Vcom[ORN_FRAME_MAX];   // request frame of the block transfers
