// The program's spine: start-up, the event loop, the return to scan and
// the ways out.
#pragma once

// Loads both panels, scans the ports and shows the scan panel; the
// working folder must be the program's "bin".  0, or -1 when a panel
// resource file cannot be used (said on standard error and in a message).
int App_Start();
// Polls the event queue every 10 ms until a way out sets gQuit.
void App_Run_Loop();
// The whole program: start-up, loop, exit code.
int App_Main(int argc, char **argv);

// (Re)fills the scan panel's port list and restores the saved language.
void Scan_Form_initial();
// Back from the main panel to the scan panel: closes the port, hides the
// main panel, scans again and shows the scan panel.
void Return_To_Scan();

// Panel and menu callbacks of the shell.
int Scan_F(int panel, int event, void *callback_data, int data1, int data2);
int ORN_PANEL_F(int panel, int event, void *callback_data, int data1, int data2);
void Exit_F(int menubar, int item, void *callback_data, int panel);
