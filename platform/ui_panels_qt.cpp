// Panels: loading them from their resource files (Qt Designer XML read by
// QUiLoader), binding callbacks by name, and turning Qt's input into the
// program's events, one callback at a time.
#include "platform/ui_toolkit_qt.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QComboBox>
#include <QTableWidget>
#include <QTimer>
#include <QUiLoader>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace {

QApplication *sApp = nullptr;                       // made by Ui_Init
std::map<std::string, UiCallbackEntry> sCallbacks;  // the program's callbacks by name
std::vector<UiExpectation> sExpected;               // what the resource files must hold
std::map<int, UiPanel> sPanels;                     // loaded panels by handle
std::map<int, UiMenuBar> sMenuBars;                 // their menu bars by handle
int sNextPanel = 1;                                 // next panel handle
int sNextMenuBar = 1;                               // next menu bar handle
bool sInCallback = false;                           // a callback is running
std::string sLoadError;                             // why the last LoadPanel failed

// Turns a panel's Qt input into the program's events.
class PanelEvents : public QObject {
public:
    PanelEvents(int panel, QObject *parent) : QObject(parent), panel_(panel) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int panel_;
};

// Edits a ring column of a table with a combo box of the ring's items.
class RingDelegate : public QStyledItemDelegate {
public:
    RingDelegate(const QStringList &items, QObject *parent) : QStyledItemDelegate(parent), items_(items) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->addItems(items_);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setCurrentText(index.data().toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText());
    }

private:
    QStringList items_;
};

// Edits an integer column of a table within the column's range.
class IntDelegate : public QStyledItemDelegate {
public:
    IntDelegate(int lo, int hi, QObject *parent) : QStyledItemDelegate(parent), lo_(lo), hi_(hi) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *spin = new QSpinBox(parent);
        spin->setRange(lo_, hi_);
        return spin;
    }

private:
    int lo_, hi_;
};

// The panel and control a widget belongs to, by its place in sPanels.
bool find_owner(QObject *object, int &panel, int &control)
{
    for (auto &[handle, p] : sPanels) {
        if (object == p.top) {
            panel = handle;
            control = 0;
            return true;
        }
        for (auto &[id, c] : p.controls) {
            QWidget *w = c.widget;
            if (!w)
                continue;
            if (object == w) {
                panel = handle;
                control = id;
                return true;
            }
            if (auto *view = qobject_cast<QAbstractItemView *>(w); view && object == view->viewport()) {
                panel = handle;
                control = id;
                return true;
            }
        }
    }
    return false;
}

bool PanelEvents::eventFilter(QObject *watched, QEvent *event)
{
    int panel = 0, control = 0;
    switch (event->type()) {
    case QEvent::Close:
        if (watched == Ui_Panel(panel_)->top) {
            event->ignore();   // the program decides: it discards the panel or not
            Ui_Dispatch(panel_, 0, EVENT_CLOSE, 0, 0);
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!find_owner(watched, panel, control))
            break;
        UiControl *c = control ? Ui_Control(panel, control) : nullptr;
        if (key->key() == Qt::Key_F1) {
            // To the control that has a callback, otherwise to the panel.
            if (c && c->callback)
                Ui_Dispatch(panel, control, EVENT_KEYPRESS, VAL_F1_VKEY, 0);
            else
                Ui_Dispatch(panel, 0, EVENT_KEYPRESS, VAL_F1_VKEY, 0);
            return true;
        }
        if (key->modifiers() & Qt::ControlModifier) {
            // Buttons named in the panel file by their ornShortcut ("Ctrl+R").
            QKeySequence pressed(key->keyCombination());
            for (auto &[id, ctl] : Ui_Panel(panel)->controls) {
                QString wanted = ctl.widget ? ctl.widget->property("ornShortcut").toString() : QString();
                if (!wanted.isEmpty() && QKeySequence(wanted) == pressed && (ctl.kind == KIND_BUTTON || ctl.kind == KIND_TOGGLE)) {
                    static_cast<QAbstractButton *>(ctl.widget.data())->click();
                    return true;
                }
            }
        }
        if (c && c->kind == KIND_LIST && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            Ui_Dispatch(panel, control, EVENT_COMMIT, 0, 0);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && find_owner(watched, panel, control) && control) {
            UiControl *c = Ui_Control(panel, control);
            if (c->kind == KIND_LIST) {
                auto *list = static_cast<QListWidget *>(c->widget.data());
                if (list->itemAt(mouse->position().toPoint()))
                    Ui_Dispatch(panel, control, EVENT_LEFT_CLICK_UP, 0, 0);
            }
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton && find_owner(watched, panel, control) && control) {
            UiControl *c = Ui_Control(panel, control);
            if (c->kind == KIND_TABLE) {
                auto *table = static_cast<QTableWidget *>(c->widget.data());
                QModelIndex at = table->indexAt(mouse->position().toPoint());
                Ui_Dispatch(panel, control, EVENT_RIGHT_CLICK, at.row() + 1, at.column() + 1);
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

UiKind kind_of(QObject *object)
{
    QString declared = object->property("ornKind").toString();
    if (declared == "timer")
        return KIND_TIMER;
    if (declared == "picture")
        return KIND_PICTURE;
    if (qobject_cast<QSpinBox *>(object))
        return KIND_NUMERIC;
    if (qobject_cast<QCheckBox *>(object))
        return KIND_ON_OFF;
    if (auto *b = qobject_cast<QPushButton *>(object))
        return b->isCheckable() ? KIND_TOGGLE : KIND_BUTTON;
    if (qobject_cast<QListWidget *>(object))
        return KIND_LIST;
    if (qobject_cast<QComboBox *>(object))
        return KIND_RING;
    if (qobject_cast<QTableWidget *>(object))
        return KIND_TABLE;
    if (qobject_cast<QProgressBar *>(object))
        return KIND_PROGRESS;
    if (qobject_cast<QLabel *>(object))
        return KIND_TEXT;
    if (qobject_cast<QMenu *>(object))
        return KIND_MENU;
    if (qobject_cast<QAction *>(object))
        return KIND_MENU_ITEM;
    return KIND_ANY;
}

const char *kind_name(UiKind k)
{
    static const char *names[] = {"any",      "numeric", "on/off",  "toggle button", "command button",
                                  "list box", "text",    "progress", "picture",      "table",
                                  "timer",    "menu",    "menu item", "ring"};
    return names[k];
}

// Wires one control's signals to the program's events.
void connect_control(int panel, UiControl &c, PanelEvents *events)
{
    QWidget *w = c.widget;
    int id = c.id;
    switch (c.kind) {
    case KIND_BUTTON:
    case KIND_TOGGLE:
        QObject::connect(static_cast<QAbstractButton *>(w), &QAbstractButton::clicked, w, [panel, id](bool) {
            UiControl *ctl = Ui_Control(panel, id);
            if (ctl && ctl->kind == KIND_TOGGLE) {
                auto *b = static_cast<QPushButton *>(ctl->widget.data());
                if (!ctl->on_text.isEmpty() || !ctl->off_text.isEmpty())
                    Ui_Set_Button_Text(b, b->isChecked() ? ctl->on_text : ctl->off_text);
            }
            Ui_Dispatch(panel, id, EVENT_COMMIT, 0, 0);
        });
        break;
    case KIND_ON_OFF:
        QObject::connect(static_cast<QAbstractButton *>(w), &QAbstractButton::clicked, w,
                         [panel, id](bool) { Ui_Dispatch(panel, id, EVENT_COMMIT, 0, 0); });
        break;
    case KIND_NUMERIC: {
        auto *spin = static_cast<QSpinBox *>(w);
        spin->setKeyboardTracking(false);   // one commit per finished entry, not per keystroke
        QObject::connect(spin, &QSpinBox::valueChanged, w, [panel, id](int) { Ui_Dispatch(panel, id, EVENT_COMMIT, 0, 0); });
        break;
    }
    case KIND_RING: {
        auto *ring = static_cast<QComboBox *>(w);
        for (int i = 0; i < ring->count(); ++i)
            ring->setItemData(i, i);   // an item's value is its place, from 0
        QObject::connect(ring, &QComboBox::activated, w, [panel, id](int) { Ui_Dispatch(panel, id, EVENT_COMMIT, 0, 0); });
        break;
    }
    case KIND_LIST:
        w->installEventFilter(events);
        static_cast<QListWidget *>(w)->viewport()->installEventFilter(events);
        break;
    case KIND_TABLE:
        w->installEventFilter(events);
        static_cast<QTableWidget *>(w)->viewport()->installEventFilter(events);
        break;
    case KIND_TIMER: {
        auto *timer = new QTimer(w);
        timer->setInterval(w->property("ornInterval").toInt());
        c.timer = timer;
        QObject::connect(timer, &QTimer::timeout, w, [panel, id] { Ui_Dispatch(panel, id, EVENT_TIMER_TICK, 0, 0); });
        break;
    }
    default:
        break;
    }
}

// Fills a table with cells of its columns' kinds: integers within a range
// ("int:0:255"), or ring texts ("ring").
void prepare_table(UiControl &c)
{
    auto *table = static_cast<QTableWidget *>(c.widget.data());
    QStringList columns = table->property("ornColumns").toString().split(',', Qt::SkipEmptyParts);
    c.ring_items = table->property("ornRingItems").toString().split(',', Qt::SkipEmptyParts);
    c.ring_column.assign((size_t)table->columnCount(), false);
    c.column_range.assign((size_t)table->columnCount(), {INT_MIN, INT_MAX});
    for (int col = 0; col < table->columnCount(); ++col) {
        QStringList kind = col < columns.size() ? columns[col].trimmed().split(':') : QStringList{"int"};
        bool ring = kind[0] == "ring";
        c.ring_column[(size_t)col] = ring;
        if (ring) {
            table->setItemDelegateForColumn(col, new RingDelegate(c.ring_items, table));
        } else {
            if (kind.size() == 3)
                c.column_range[(size_t)col] = {kind[1].toInt(), kind[2].toInt()};
            auto [lo, hi] = c.column_range[(size_t)col];
            table->setItemDelegateForColumn(col, new IntDelegate(lo, hi, table));
        }
        for (int row = 0; row < table->rowCount(); ++row) {
            auto *item = new QTableWidgetItem;
            if (ring)
                item->setText(c.ring_items.value(0));
            else
                item->setData(Qt::EditRole, std::clamp(0, c.column_range[(size_t)col].first, c.column_range[(size_t)col].second));
            table->setItem(row, col, item);
        }
    }
}

bool fail_load(const std::string &why)
{
    sLoadError = why;
    return false;
}

// Reads the ids and callbacks of a loaded panel; false (with sLoadError) when
// the file names a callback the program lacks or misses an expected id.
bool bind_panel(int handle, UiPanel &p, const QString &file_name)
{
    auto *events = new PanelEvents(handle, p.top);
    p.top->installEventFilter(events);
    if (QString cb = p.top->property("ornCallback").toString(); !cb.isEmpty()) {
        auto it = sCallbacks.find(cb.toStdString());
        if (it == sCallbacks.end() || !it->second.panel)
            return fail_load("names panel callback " + cb.toStdString() + ", which the program lacks");
        p.callback = it->second.panel;
    }
    for (QWidget *w : p.top->findChildren<QWidget *>()) {
        if (QVariant label_for = w->property("ornLabelFor"); label_for.isValid())
            continue;   // captions are bound below, once their controls are known
        QVariant id = w->property("ornId");
        if (!id.isValid() || qobject_cast<QMenu *>(w) || qobject_cast<QMenuBar *>(w))
            continue;
        UiControl c;
        c.id = id.toInt();
        c.widget = w;
        c.kind = kind_of(w);
        if (p.controls.count(c.id))
            return fail_load("holds control id " + std::to_string(c.id) + " twice");
        if (QString cb = w->property("ornCallback").toString(); !cb.isEmpty()) {
            auto it = sCallbacks.find(cb.toStdString());
            if (it == sCallbacks.end() || !it->second.control)
                return fail_load("names control callback " + cb.toStdString() + ", which the program lacks");
            c.callback = it->second.control;
        }
        c.on_text = w->property("ornOnText").toString();
        c.off_text = w->property("ornOffText").toString();
        if (c.kind == KIND_TABLE)
            prepare_table(c);
        p.controls[c.id] = c;
        connect_control(handle, p.controls[c.id], events);
    }
    for (QLabel *label : p.top->findChildren<QLabel *>())
        if (QVariant for_id = label->property("ornLabelFor"); for_id.isValid() && p.controls.count(for_id.toInt()))
            p.controls[for_id.toInt()].label = label;

    // The menu bar: its menus and items by id, item callbacks by name.
    if (auto *bar = p.top->findChild<QMenuBar *>()) {
        int mb = sNextMenuBar++;
        UiMenuBar &m = sMenuBars[mb];
        m.bar = bar;
        m.panel = handle;
        p.menubar = mb;
        for (QMenu *menu : bar->findChildren<QMenu *>())
            if (QVariant id = menu->property("ornId"); id.isValid())
                m.menus[id.toInt()] = menu;
        for (QAction *action : p.top->findChildren<QAction *>()) {
            QVariant id = action->property("ornId");
            if (!id.isValid())
                continue;
            int item = id.toInt();
            m.items[item] = action;
            if (QString cb = action->property("ornCallback").toString(); !cb.isEmpty()) {
                auto it = sCallbacks.find(cb.toStdString());
                if (it == sCallbacks.end() || !it->second.menu)
                    return fail_load("names menu callback " + cb.toStdString() + ", which the program lacks");
                m.callbacks[item] = it->second.menu;
            }
            QObject::connect(action, &QAction::triggered, action, [mb, item, action](bool) {
                // Check marks belong to the program: undo Qt's own toggling.
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                Ui_Dispatch_Menu(mb, item);
            });
        }
    }

    // Everything the program addresses must be there, of the right kind.
    QString base = QFileInfo(file_name).fileName();
    for (const UiExpectation &e : sExpected) {
        if (base.compare(QString::fromUtf8(e.file), Qt::CaseInsensitive) != 0)
            continue;
        UiKind found = KIND_ANY;
        bool present = false;
        if (e.kind == KIND_MENU || e.kind == KIND_MENU_ITEM) {
            UiMenuBar *m = Ui_MenuBar(p.menubar);
            if (m && e.kind == KIND_MENU && m->menus.count(e.id) && m->menus[e.id])
                present = true, found = KIND_MENU;
            if (m && e.kind == KIND_MENU_ITEM && m->items.count(e.id) && m->items[e.id])
                present = true, found = KIND_MENU_ITEM;
        } else if (p.controls.count(e.id)) {
            present = true;
            found = p.controls[e.id].kind;
        }
        if (!present)
            return fail_load("lacks " + std::string(e.name) + " (id " + std::to_string(e.id) + ")");
        if (e.kind != KIND_ANY && found != e.kind)
            return fail_load(std::string(e.name) + " is a " + kind_name(found) + ", not a " + kind_name(e.kind));
    }
    return true;
}

}  // namespace

UiPanel *Ui_Panel(int panel)
{
    auto it = sPanels.find(panel);
    return it == sPanels.end() || !it->second.top ? nullptr : &it->second;
}

UiControl *Ui_Control(int panel, int control)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return nullptr;
    auto it = p->controls.find(control);
    return it == p->controls.end() || !it->second.widget ? nullptr : &it->second;
}

UiMenuBar *Ui_MenuBar(int menubar)
{
    auto it = sMenuBars.find(menubar);
    return it == sMenuBars.end() || !it->second.bar ? nullptr : &it->second;
}

void Ui_Dispatch(int panel, int control, int event, int data1, int data2)
{
    // One callback at a time: whatever comes in meanwhile (a timer tick
    // during a pop-up's own event loop) is dropped; repeating timers tick
    // again later.
    if (sInCallback)
        return;
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return;
    // Input to a panel that is no longer shown (clicks queued while a long
    // callback hid it) is stale; timers keep ticking on hidden panels.
    if (event != EVENT_TIMER_TICK && !p->top->isVisible())
        return;
    sInCallback = true;
    if (control == 0) {
        if (p->callback)
            p->callback(panel, event, nullptr, data1, data2);
    } else if (UiControl *c = Ui_Control(panel, control); c && c->callback) {
        c->callback(panel, control, event, nullptr, data1, data2);
    }
    sInCallback = false;
}

void Ui_Dispatch_Menu(int menubar, int item)
{
    if (sInCallback)
        return;
    UiMenuBar *m = Ui_MenuBar(menubar);
    if (!m || !m->callbacks.count(item))
        return;
    sInCallback = true;
    m->callbacks[item](menubar, item, nullptr, m->panel);
    sInCallback = false;
}

void Ui_Init(int &argc, char **argv)
{
    if (!sApp)
        sApp = new QApplication(argc, argv);
}

void Ui_Register_Callbacks(const UiCallbackEntry *table, int count)
{
    for (int i = 0; i < count; ++i)
        sCallbacks[table[i].name] = table[i];
}

void Ui_Expect(const UiExpectation *table, int count)
{
    sExpected.assign(table, table + count);
}

const char *Ui_Load_Error()
{
    return sLoadError.c_str();
}

// Paths may be written with either separator ("..\ui\Scan.uir").
QString Ui_Native_Path(const char *path)
{
    QString p = QString::fromUtf8(path);
    p.replace('\\', '/');
    return p;
}

int LoadPanel(int /*parent*/, const char *file, int resource)
{
    if (!sApp)
        return UI_ERR_NO_APP;
    sLoadError.clear();
    QString path = Ui_Native_Path(file ? file : "");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        sLoadError = path.toStdString() + ": cannot be read";
        return UI_ERR_LOAD;
    }
    QUiLoader loader;
    QWidget *top = loader.load(&f);
    if (!top) {
        sLoadError = path.toStdString() + ": not a panel resource file (" + loader.errorString().toStdString() + ")";
        return UI_ERR_LOAD;
    }
    if (top->property("ornId").toInt() != resource) {
        delete top;
        sLoadError = path.toStdString() + ": holds no panel " + std::to_string(resource);
        return UI_ERR_LOAD;
    }
    int handle = sNextPanel++;
    UiPanel &p = sPanels[handle];
    p.top = top;
    top->hide();
    if (!bind_panel(handle, p, path)) {
        sLoadError = path.toStdString() + ": " + sLoadError;
        if (p.menubar)
            sMenuBars.erase(p.menubar);
        sPanels.erase(handle);
        delete top;
        return UI_ERR_LOAD;
    }
    return handle;
}

int GetPanelMenuBar(int panel)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    return p->menubar ? p->menubar : UI_ERR_BAD_ID;
}

int DisplayPanel(int panel)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    if (p->zoom == VAL_MAXIMIZE)
        p->top->showMaximized();
    else
        p->top->show();
    p->top->raise();
    p->top->activateWindow();
    return 0;
}

int HidePanel(int panel)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->top->hide();
    return 0;
}

int DiscardPanel(int panel)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    // Deleted later: the discard may come from inside this panel's own event.
    p->top->hide();
    p->top->deleteLater();
    if (p->menubar)
        sMenuBars.erase(p->menubar);
    sPanels.erase(panel);
    return 0;
}

int SetPanelAttribute(int panel, int attribute, int value)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    switch (attribute) {
    case ATTR_WINDOW_ZOOM:
        if (value != VAL_NO_ZOOM && value != VAL_MAXIMIZE)
            return UI_ERR_BAD_VALUE;
        p->zoom = value;
        if (p->top->isVisible())
            value == VAL_MAXIMIZE ? p->top->showMaximized() : p->top->showNormal();
        return 0;
    case ATTR_ACTIVATE_WHEN_DISPLAYED:
        return 0;   // a displayed panel is always raised and activated
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int GetPanelAttribute(int panel, int attribute, int *value)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    if (!value)
        return UI_ERR_BAD_VALUE;
    switch (attribute) {
    case ATTR_VISIBLE:
        *value = p->top->isVisible() ? 1 : 0;
        return 0;
    case ATTR_WINDOW_ZOOM:
        *value = p->zoom;
        return 0;
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int SetPanelCharacterSet(int panel, int charset)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    if (charset != VAL_DEFAULT_CHARSET && charset != VAL_BIG5_CHARSET)
        return UI_ERR_BAD_VALUE;
    // Texts are Unicode here; what counts is a font with CJK glyphs, which
    // the font fallback supplies.  The setting is kept for the record.
    p->charset = charset;
    return 0;
}

int ProcessSystemEvents()
{
    if (!sApp)
        return UI_ERR_NO_APP;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
