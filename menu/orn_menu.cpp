#include "menu/orn_menu.h"

// Command-table files, help and the language switch come with their own work.
void Save_F(int, int, void *, int) {}
void load_F(int, int, void *, int) {}
void clear_F(int, int, void *, int) {}
void Contents_F(int, int, void *, int) {}
void lang_F(int, int, void *, int) {}
