#include "app/shared_state.h"

int gvPanel;
int gvScan;
int gvMenu;
int gvCOM;
int gvORN_ID;
int gvLang;
int gQuit;
unsigned char aUSB_Vcom[ORN_FRAME_MAX];
