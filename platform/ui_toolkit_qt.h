// Inside the toolkit: what it keeps of each loaded panel.  Only platform/
// sources include this.
#pragma once

#include "platform/ui_toolkit.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <map>
#include <vector>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;

struct UiControl {
    int id = 0;
    UiKind kind = KIND_ANY;
    QPointer<QWidget> widget;
    CtrlCallbackPtr callback = nullptr;
    QPointer<QLabel> label;          // the caption that shows the control's label
    QPointer<QTimer> timer;          // timer controls
    QString on_text, off_text;       // toggle buttons
    std::vector<bool> ring_column;   // tables: which columns hold a ring
    std::vector<std::pair<int, int>> column_range;   // tables: the integer range of each column
    QStringList ring_items;          // tables: the ring's items in order
    int text_color = 0;              // last colour set, 0xRRGGBB
    QString image_file;              // pictures: the file last displayed
};

struct UiPanel {
    QPointer<QWidget> top;
    PanelCallbackPtr callback = nullptr;
    std::map<int, UiControl> controls;
    int menubar = 0;                 // handle, 0 when the panel has none
    int zoom = VAL_NO_ZOOM;
    int charset = VAL_DEFAULT_CHARSET;
};

struct UiMenuBar {
    QPointer<QMenuBar> bar;
    int panel = 0;
    std::map<int, QPointer<QMenu>> menus;
    std::map<int, QPointer<QAction>> items;
    std::map<int, MenuCallbackPtr> callbacks;
};

// Sets a button's text and keeps its keyboard shortcut (a plain setText
// would replace it with the text's mnemonic, none).
void Ui_Set_Button_Text(QAbstractButton *button, const QString &text);

// The panel behind a handle, or nullptr.
UiPanel *Ui_Panel(int panel);
UiControl *Ui_Control(int panel, int control);
UiMenuBar *Ui_MenuBar(int menubar);

// Delivers an event to a control's or a panel's callback (control 0), as
// input does; dropped while another callback runs.
void Ui_Dispatch(int panel, int control, int event, int data1, int data2);
void Ui_Dispatch_Menu(int menubar, int item);
