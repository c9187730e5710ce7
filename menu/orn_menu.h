// The main panel's menus: command-table files, help and language.
#pragma once

void Save_F(int menubar, int item, void *callback_data, int panel);
void load_F(int menubar, int item, void *callback_data, int panel);
void clear_F(int menubar, int item, void *callback_data, int panel);
void Contents_F(int menubar, int item, void *callback_data, int panel);
void lang_F(int menubar, int item, void *callback_data, int panel);
