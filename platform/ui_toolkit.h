// The user-interface toolkit the program is written against: panels loaded
// from resource files, controls and menu items addressed by small integer
// ids, callbacks bound by the names the resource files give, and an event
// queue the program polls.  Built over Qt 6 Widgets; no Qt type crosses
// this header.  Every call returns a negative UI_ERR_ code for a bad
// handle, id or attribute, never crashes.
#pragma once

#include <cstddef>

// ---- events delivered to callbacks ----
enum UiEvent {
    EVENT_COMMIT = 1,          // the user changed a value or pressed a button
    EVENT_LEFT_CLICK_UP = 2,   // left button released over a control
    EVENT_RIGHT_CLICK = 3,     // right button pressed; data1 row, data2 column in tables
    EVENT_CLOSE = 4,           // the user asked to close a panel
    EVENT_TIMER_TICK = 5,      // a timer control's interval ran out
    EVENT_KEYPRESS = 6,        // a key; data1 holds its code
};
inline constexpr int VAL_F1_VKEY = 0x1000;   // data1 of EVENT_KEYPRESS for F1

// ---- control and panel attributes ----
enum UiAttribute {
    ATTR_VISIBLE = 1,
    ATTR_TEXT_COLOR,      // 0xRRGGBB
    ATTR_MAX_VALUE,
    ATTR_LABEL_TEXT,      // text
    ATTR_ON_TEXT,         // text of a toggle button while on
    ATTR_OFF_TEXT,        // text of a toggle button while off
    ATTR_ENABLED,         // timer controls: ticking or not
    ATTR_WINDOW_ZOOM,     // panels: VAL_NO_ZOOM or VAL_MAXIMIZE
    ATTR_ACTIVATE_WHEN_DISPLAYED,
    ATTR_CHECKED,         // menu items: check mark
    ATTR_MENU_NAME,       // menus: title (text)
    ATTR_ITEM_NAME,       // menu items: text
    ATTR_IMAGE_FILE,      // pictures: the file last displayed (read only)
};
inline constexpr int VAL_NO_ZOOM = 0;
inline constexpr int VAL_MAXIMIZE = 1;

inline constexpr int VAL_BLACK = 0x000000;
inline constexpr int VAL_BLUE = 0x0000FF;
inline constexpr int VAL_DK_GREEN = 0x008000;
inline constexpr int VAL_RED = 0xFF0000;

// Character sets of SetPanelCharacterSet.
inline constexpr int VAL_DEFAULT_CHARSET = -1;
inline constexpr int VAL_BIG5_CHARSET = 136;

enum UiError {
    UI_ERR_BAD_HANDLE = -40,     // no such panel or menu bar
    UI_ERR_BAD_ID = -41,         // no such control, menu or item on it
    UI_ERR_BAD_ATTRIBUTE = -42,  // the control has no such attribute
    UI_ERR_BAD_VALUE = -43,      // out of range, wrong type, no such cell or item
    UI_ERR_LOAD = -44,           // a resource file that cannot be used (Ui_Load_Error tells why)
    UI_ERR_NO_APP = -45,         // Ui_Init was not called
};

// ---- callbacks, bound by name ----
using PanelCallbackPtr = int (*)(int panel, int event, void *callback_data, int data1, int data2);
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void *callback_data, int data1, int data2);
using MenuCallbackPtr = void (*)(int menubar, int item, void *callback_data, int panel);

struct UiCallbackEntry {
    const char *name;
    PanelCallbackPtr panel;   // exactly one of the three is set
    CtrlCallbackPtr control;
    MenuCallbackPtr menu;
};

// What a panel's file must hold: the controls, menus and items the program
// addresses, and the kind each must be.
enum UiKind {
    KIND_ANY = 0, KIND_NUMERIC, KIND_ON_OFF, KIND_TOGGLE, KIND_BUTTON, KIND_LIST, KIND_TEXT,
    KIND_PROGRESS, KIND_PICTURE, KIND_TABLE, KIND_TIMER, KIND_MENU, KIND_MENU_ITEM, KIND_RING,
};
struct UiExpectation {
    const char *file;   // resource file name, e.g. "Tarvox.uir"
    int id;
    const char *name;   // the id's constant name, for the report
    UiKind kind;
};

// Starts the toolkit (once, before any panel); argc and argv go to Qt.
void Ui_Init(int &argc, char **argv);
// The program's callbacks and what its resource files must hold.
void Ui_Register_Callbacks(const UiCallbackEntry *table, int count);
void Ui_Expect(const UiExpectation *table, int count);
// Why the last LoadPanel failed; "" after a success.
const char *Ui_Load_Error();

// ---- panels ----
int LoadPanel(int parent, const char *file, int resource);   // handle > 0, or negative
int GetPanelMenuBar(int panel);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int SetPanelAttribute(int panel, int attribute, int value);
int GetPanelAttribute(int panel, int attribute, int *value);   // ATTR_VISIBLE, ATTR_WINDOW_ZOOM
int SetPanelCharacterSet(int panel, int charset);

// ---- controls ----
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, const char *text);
int GetCtrlVal(int panel, int control, int *value);   // a list box yields the selected item's value
int GetCtrlVal(int panel, int control, char *text, size_t size);
int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, const char *text);
int GetCtrlAttribute(int panel, int control, int attribute, int *value);
int GetCtrlAttribute(int panel, int control, int attribute, char *text, size_t size);
// The control that gets the keyboard when its panel is shown.
int SetActiveCtrl(int panel, int control);

// ---- tables ----
struct Point {
    int x;   // column, from 1
    int y;   // row, from 1
};
Point MakePoint(int column, int row);
int SetTableCellVal(int panel, int table, Point cell, int value);
int SetTableCellVal(int panel, int table, Point cell, const char *text);
int GetTableCellVal(int panel, int table, Point cell, int *value);
int GetTableCellVal(int panel, int table, Point cell, char *text, size_t size);   // a ring cell reads as its item text
int SetTableCellValFromIndex(int panel, int table, Point cell, int index);

// ---- list boxes ----
int ClearListCtrl(int panel, int control);
int InsertListItem(int panel, int control, int index, const char *label, int value);   // index -1 appends
int GetNumListItems(int panel, int control, int *count);

// ---- pictures ----
int DisplayImageFile(int panel, int control, const char *file);

// ---- menus ----
int SetMenuBarAttribute(int menubar, int id, int attribute, int value);
int SetMenuBarAttribute(int menubar, int id, int attribute, const char *text);
int GetMenuBarAttribute(int menubar, int id, int attribute, int *value);
int GetMenuBarAttribute(int menubar, int id, int attribute, char *text, size_t size);

// ---- pop-ups (tests answer them through Ui_Script_Answer) ----
int MessagePopup(const char *title, const char *message);
int ConfirmPopup(const char *title, const char *question);   // 1 yes, 0 no
inline constexpr int VAL_SAVE_BUTTON = 1;
inline constexpr int VAL_LOAD_BUTTON = 2;
// Non-zero when a path was chosen; path receives at most size bytes.
int FileSelectPopup(const char *directory, const char *default_name, const char *filter, const char *title,
                    int button, int restrict_dir, int restrict_ext, int allow_cancel, int allow_make_dir,
                    char *path, size_t size);

// ---- the event queue ----
// Runs what is pending (input, timer ticks) through the callbacks, one
// callback at a time, each to completion.
int ProcessSystemEvents();

// ---- folders ----
int SetDir(const char *path);   // negative when the folder cannot be entered
int MakeDir(const char *path);

// ---- for tests only ----
// The next pop-ups are answered in order instead of asking a person:
// MessagePopup takes any answer, ConfirmPopup 1 or 0, FileSelectPopup a
// path ("" for cancel).
void Ui_Script_Answer(const char *answer);
// What the pop-ups showed, "title|text" per line, since the last call.
const char *Ui_Popup_Log();
// Real input, sent through the widgets as a person's would be: to a
// control, or to the panel itself (control 0: close, F1).  List clicks take
// the row (from 1) in data1, table right clicks row and column, a numeric
// value is typed and entered.
enum UiInput {
    INPUT_CLICK = 1, INPUT_RIGHT_CLICK, INPUT_KEY_F1, INPUT_KEY_ENTER, INPUT_CLOSE, INPUT_SET_VALUE,
    INPUT_SHORTCUT,   // Ctrl + the letter in data1, to the panel
};
int Ui_Simulate(int panel, int control, int input, int data1, int data2);
// Chooses a menu item as a person would.
int Ui_Simulate_Menu(int menubar, int item);
// Renders a panel to a PNG file.
int Ui_Grab(int panel, const char *png_file);
