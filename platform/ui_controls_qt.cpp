// Controls, tables, list boxes, pictures and menus addressed by id.
#include "platform/ui_toolkit_qt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <cstring>

QString Ui_Native_Path(const char *path);

namespace {

// Copies text into a caller's buffer of size bytes, always terminated.
int copy_out(const QString &text, char *out, size_t size)
{
    if (!out || size == 0)
        return UI_ERR_BAD_VALUE;
    QByteArray utf8 = text.toUtf8();
    size_t n = std::min((size_t)utf8.size(), size - 1);
    std::memcpy(out, utf8.constData(), n);
    out[n] = '\0';
    return 0;
}

// Text messages and progress indicators are drawn at once, so a long
// callback that reports its progress is seen to advance.
void draw_now(QWidget *w)
{
    if (w->isVisible())
        w->repaint();
}

void set_toggle(UiControl &c, bool on)
{
    auto *b = static_cast<QPushButton *>(c.widget.data());
    b->setChecked(on);
    if (!c.on_text.isEmpty() || !c.off_text.isEmpty())
        Ui_Set_Button_Text(b, on ? c.on_text : c.off_text);
}

QColor color_of(int rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QTableWidgetItem *cell_item(UiControl *c, Point cell)
{
    if (!c || c->kind != KIND_TABLE)
        return nullptr;
    auto *table = static_cast<QTableWidget *>(c->widget.data());
    if (cell.x < 1 || cell.y < 1 || cell.x > table->columnCount() || cell.y > table->rowCount())
        return nullptr;
    return table->item(cell.y - 1, cell.x - 1);
}

bool ring_cell(UiControl *c, Point cell)
{
    return (size_t)(cell.x - 1) < c->ring_column.size() && c->ring_column[(size_t)(cell.x - 1)];
}

QListWidgetItem *selected_item(QListWidget *list)
{
    QListWidgetItem *item = list->currentItem();
    if (!item && list->count() > 0)
        item = list->item(0);
    return item;
}

}  // namespace

void Ui_Set_Button_Text(QAbstractButton *button, const QString &text)
{
    QKeySequence shortcut = button->shortcut();
    button->setText(text);
    button->setShortcut(shortcut);
}

int SetCtrlVal(int panel, int control, int value)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    QWidget *w = c->widget;
    QSignalBlocker quiet(w);   // a value set by the program is no commit
    switch (c->kind) {
    case KIND_NUMERIC: {
        auto *spin = static_cast<QSpinBox *>(w);
        if (value < spin->minimum() || value > spin->maximum())
            return UI_ERR_BAD_VALUE;
        spin->setValue(value);
        return 0;
    }
    case KIND_ON_OFF:
        static_cast<QCheckBox *>(w)->setChecked(value != 0);
        return 0;
    case KIND_RING: {
        // A code the ring does not list is shown as such, never lost.
        auto *ring = static_cast<QComboBox *>(w);
        int at = ring->findData(value);
        if (at < 0) {
            ring->addItem(QString("code %1").arg(value), value);
            at = ring->count() - 1;
        }
        ring->setCurrentIndex(at);
        return 0;
    }
    case KIND_TOGGLE:
        set_toggle(*c, value != 0);
        return 0;
    case KIND_PROGRESS:
        static_cast<QProgressBar *>(w)->setValue(value);
        draw_now(w);
        return 0;
    case KIND_TEXT:
        static_cast<QLabel *>(w)->setText(QString::number(value));
        draw_now(w);
        return 0;
    case KIND_LIST: {
        auto *list = static_cast<QListWidget *>(w);
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toInt() == value) {
                list->setCurrentRow(i);
                return 0;
            }
        return UI_ERR_BAD_VALUE;
    }
    default:
        return UI_ERR_BAD_VALUE;
    }
}

int SetCtrlVal(int panel, int control, const char *text)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (c->kind != KIND_TEXT || !text)
        return UI_ERR_BAD_VALUE;
    static_cast<QLabel *>(c->widget.data())->setText(QString::fromUtf8(text));
    draw_now(c->widget);
    return 0;
}

int GetCtrlVal(int panel, int control, int *value)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (!value)
        return UI_ERR_BAD_VALUE;
    QWidget *w = c->widget;
    switch (c->kind) {
    case KIND_NUMERIC:
        *value = static_cast<QSpinBox *>(w)->value();
        return 0;
    case KIND_ON_OFF:
    case KIND_TOGGLE:
        *value = static_cast<QAbstractButton *>(w)->isChecked() ? 1 : 0;
        return 0;
    case KIND_PROGRESS:
        *value = static_cast<QProgressBar *>(w)->value();
        return 0;
    case KIND_RING: {
        QVariant v = static_cast<QComboBox *>(w)->currentData();
        if (!v.isValid())
            return UI_ERR_BAD_VALUE;
        *value = v.toInt();
        return 0;
    }
    case KIND_LIST: {
        QListWidgetItem *item = selected_item(static_cast<QListWidget *>(w));
        if (!item)
            return UI_ERR_BAD_VALUE;
        *value = item->data(Qt::UserRole).toInt();
        return 0;
    }
    case KIND_TEXT: {
        bool ok = false;
        int v = static_cast<QLabel *>(w)->text().toInt(&ok);
        if (!ok)
            return UI_ERR_BAD_VALUE;
        *value = v;
        return 0;
    }
    default:
        return UI_ERR_BAD_VALUE;
    }
}

int GetCtrlVal(int panel, int control, char *text, size_t size)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    switch (c->kind) {
    case KIND_TEXT:
        return copy_out(static_cast<QLabel *>(c->widget.data())->text(), text, size);
    case KIND_LIST: {
        QListWidgetItem *item = selected_item(static_cast<QListWidget *>(c->widget.data()));
        return item ? copy_out(item->text(), text, size) : UI_ERR_BAD_VALUE;
    }
    default:
        return UI_ERR_BAD_VALUE;
    }
}

int SetCtrlAttribute(int panel, int control, int attribute, int value)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    QWidget *w = c->widget;
    switch (attribute) {
    case ATTR_VISIBLE:
        if (c->kind == KIND_TIMER)
            return UI_ERR_BAD_ATTRIBUTE;
        w->setVisible(value != 0);
        if (c->label)
            c->label->setVisible(value != 0);
        return 0;
    case ATTR_TEXT_COLOR: {
        if (value < 0 || value > 0xFFFFFF)
            return UI_ERR_BAD_VALUE;
        c->text_color = value;
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, color_of(value));
        pal.setColor(QPalette::ButtonText, color_of(value));
        pal.setColor(QPalette::Text, color_of(value));
        w->setPalette(pal);
        draw_now(w);
        return 0;
    }
    case ATTR_MAX_VALUE:
        if (c->kind == KIND_PROGRESS)
            static_cast<QProgressBar *>(w)->setMaximum(value);
        else if (c->kind == KIND_NUMERIC)
            static_cast<QSpinBox *>(w)->setMaximum(value);
        else
            return UI_ERR_BAD_ATTRIBUTE;
        return 0;
    case ATTR_ENABLED:
        if (c->kind != KIND_TIMER || !c->timer)
            return UI_ERR_BAD_ATTRIBUTE;
        if (value && !c->timer->isActive())
            c->timer->start();
        else if (!value)
            c->timer->stop();
        return 0;
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int SetCtrlAttribute(int panel, int control, int attribute, const char *text)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (!text)
        return UI_ERR_BAD_VALUE;
    QString t = QString::fromUtf8(text);
    switch (attribute) {
    case ATTR_LABEL_TEXT:
        if (c->label)
            c->label->setText(t);
        else if (c->kind == KIND_BUTTON || c->kind == KIND_ON_OFF)
            Ui_Set_Button_Text(static_cast<QAbstractButton *>(c->widget.data()), t);
        else
            return UI_ERR_BAD_ATTRIBUTE;
        return 0;
    case ATTR_ON_TEXT:
    case ATTR_OFF_TEXT: {
        if (c->kind != KIND_TOGGLE)
            return UI_ERR_BAD_ATTRIBUTE;
        (attribute == ATTR_ON_TEXT ? c->on_text : c->off_text) = t;
        set_toggle(*c, static_cast<QPushButton *>(c->widget.data())->isChecked());
        return 0;
    }
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int GetCtrlAttribute(int panel, int control, int attribute, int *value)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (!value)
        return UI_ERR_BAD_VALUE;
    switch (attribute) {
    case ATTR_VISIBLE:
        if (c->kind == KIND_TIMER)
            return UI_ERR_BAD_ATTRIBUTE;
        *value = c->widget->isHidden() ? 0 : 1;
        return 0;
    case ATTR_TEXT_COLOR:
        *value = c->text_color;
        return 0;
    case ATTR_MAX_VALUE:
        if (c->kind == KIND_PROGRESS)
            *value = static_cast<QProgressBar *>(c->widget.data())->maximum();
        else if (c->kind == KIND_NUMERIC)
            *value = static_cast<QSpinBox *>(c->widget.data())->maximum();
        else
            return UI_ERR_BAD_ATTRIBUTE;
        return 0;
    case ATTR_ENABLED:
        if (c->kind != KIND_TIMER || !c->timer)
            return UI_ERR_BAD_ATTRIBUTE;
        *value = c->timer->isActive() ? 1 : 0;
        return 0;
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int GetCtrlAttribute(int panel, int control, int attribute, char *text, size_t size)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    switch (attribute) {
    case ATTR_LABEL_TEXT:
        if (c->label)
            return copy_out(c->label->text(), text, size);
        if (c->kind == KIND_BUTTON || c->kind == KIND_ON_OFF)
            return copy_out(static_cast<QAbstractButton *>(c->widget.data())->text(), text, size);
        return UI_ERR_BAD_ATTRIBUTE;
    case ATTR_ON_TEXT:
    case ATTR_OFF_TEXT:
        if (c->kind != KIND_TOGGLE)
            return UI_ERR_BAD_ATTRIBUTE;
        return copy_out(attribute == ATTR_ON_TEXT ? c->on_text : c->off_text, text, size);
    case ATTR_IMAGE_FILE:
        if (c->kind != KIND_PICTURE)
            return UI_ERR_BAD_ATTRIBUTE;
        return copy_out(c->image_file, text, size);
    default:
        return UI_ERR_BAD_ATTRIBUTE;
    }
}

int SetActiveCtrl(int panel, int control)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    c->widget->setFocus(Qt::OtherFocusReason);
    return 0;
}

Point MakePoint(int column, int row)
{
    return Point{column, row};
}

int SetTableCellVal(int panel, int table, Point cell, int value)
{
    UiControl *c = Ui_Control(panel, table);
    QTableWidgetItem *item = cell_item(c, cell);
    if (!item)
        return c ? UI_ERR_BAD_VALUE : UI_ERR_BAD_ID;
    if (ring_cell(c, cell))
        return UI_ERR_BAD_VALUE;
    auto [lo, hi] = c->column_range[(size_t)(cell.x - 1)];
    if (value < lo || value > hi)
        return UI_ERR_BAD_VALUE;
    item->setData(Qt::EditRole, value);
    return 0;
}

int SetTableCellVal(int panel, int table, Point cell, const char *text)
{
    UiControl *c = Ui_Control(panel, table);
    QTableWidgetItem *item = cell_item(c, cell);
    if (!item)
        return c ? UI_ERR_BAD_VALUE : UI_ERR_BAD_ID;
    QString t = QString::fromUtf8(text ? text : "");
    if (!ring_cell(c, cell) || !c->ring_items.contains(t))
        return UI_ERR_BAD_VALUE;
    item->setText(t);
    return 0;
}

int GetTableCellVal(int panel, int table, Point cell, int *value)
{
    UiControl *c = Ui_Control(panel, table);
    QTableWidgetItem *item = cell_item(c, cell);
    if (!item)
        return c ? UI_ERR_BAD_VALUE : UI_ERR_BAD_ID;
    if (ring_cell(c, cell) || !value)
        return UI_ERR_BAD_VALUE;
    *value = item->data(Qt::EditRole).toInt();
    return 0;
}

int GetTableCellVal(int panel, int table, Point cell, char *text, size_t size)
{
    UiControl *c = Ui_Control(panel, table);
    QTableWidgetItem *item = cell_item(c, cell);
    if (!item)
        return c ? UI_ERR_BAD_VALUE : UI_ERR_BAD_ID;
    return copy_out(item->data(Qt::DisplayRole).toString(), text, size);
}

int SetTableCellValFromIndex(int panel, int table, Point cell, int index)
{
    UiControl *c = Ui_Control(panel, table);
    QTableWidgetItem *item = cell_item(c, cell);
    if (!item)
        return c ? UI_ERR_BAD_VALUE : UI_ERR_BAD_ID;
    if (!ring_cell(c, cell) || index < 0 || index >= c->ring_items.size())
        return UI_ERR_BAD_VALUE;
    item->setText(c->ring_items[index]);
    return 0;
}

int ClearListCtrl(int panel, int control)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (c->kind != KIND_LIST)
        return UI_ERR_BAD_VALUE;
    static_cast<QListWidget *>(c->widget.data())->clear();
    return 0;
}

int InsertListItem(int panel, int control, int index, const char *label, int value)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (c->kind != KIND_LIST || !label)
        return UI_ERR_BAD_VALUE;
    auto *list = static_cast<QListWidget *>(c->widget.data());
    if (index < -1 || index > list->count())
        return UI_ERR_BAD_VALUE;
    auto *item = new QListWidgetItem(QString::fromUtf8(label));
    item->setData(Qt::UserRole, value);
    list->insertItem(index < 0 ? list->count() : index, item);
    if (list->count() == 1)
        list->setCurrentRow(0);
    return 0;
}

int GetNumListItems(int panel, int control, int *count)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (c->kind != KIND_LIST || !count)
        return UI_ERR_BAD_VALUE;
    *count = static_cast<QListWidget *>(c->widget.data())->count();
    return 0;
}

int DisplayImageFile(int panel, int control, const char *file)
{
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return Ui_Panel(panel) ? UI_ERR_BAD_ID : UI_ERR_BAD_HANDLE;
    if (c->kind != KIND_PICTURE)
        return UI_ERR_BAD_VALUE;
    QPixmap picture(Ui_Native_Path(file ? file : ""));
    if (picture.isNull())
        return UI_ERR_BAD_VALUE;
    static_cast<QLabel *>(c->widget.data())->setPixmap(picture);
    c->image_file = QString::fromUtf8(file);
    return 0;
}

namespace {

// A menu or item of a menu bar by id, or nullptr.
template <class T>
T *by_id(const std::map<int, QPointer<T>> &objects, int id)
{
    auto it = objects.find(id);
    return it == objects.end() ? nullptr : it->second.data();
}

QAction *menu_item(int menubar, int id)
{
    UiMenuBar *m = Ui_MenuBar(menubar);
    return m ? by_id(m->items, id) : nullptr;
}

QMenu *menu_of(int menubar, int id)
{
    UiMenuBar *m = Ui_MenuBar(menubar);
    return m ? by_id(m->menus, id) : nullptr;
}

}  // namespace

int SetMenuBarAttribute(int menubar, int id, int attribute, int value)
{
    if (!Ui_MenuBar(menubar))
        return UI_ERR_BAD_HANDLE;
    QAction *item = menu_item(menubar, id);
    if (!item)
        return UI_ERR_BAD_ID;
    if (attribute != ATTR_CHECKED)
        return UI_ERR_BAD_ATTRIBUTE;
    item->setCheckable(true);
    item->setChecked(value != 0);
    return 0;
}

int SetMenuBarAttribute(int menubar, int id, int attribute, const char *text)
{
    if (!Ui_MenuBar(menubar))
        return UI_ERR_BAD_HANDLE;
    if (!text)
        return UI_ERR_BAD_VALUE;
    if (attribute == ATTR_MENU_NAME) {
        QMenu *menu = menu_of(menubar, id);
        if (!menu)
            return UI_ERR_BAD_ID;
        menu->setTitle(QString::fromUtf8(text));
        return 0;
    }
    if (attribute == ATTR_ITEM_NAME) {
        QAction *item = menu_item(menubar, id);
        if (!item)
            return UI_ERR_BAD_ID;
        item->setText(QString::fromUtf8(text));
        return 0;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int GetMenuBarAttribute(int menubar, int id, int attribute, int *value)
{
    if (!Ui_MenuBar(menubar))
        return UI_ERR_BAD_HANDLE;
    QAction *item = menu_item(menubar, id);
    if (!item)
        return UI_ERR_BAD_ID;
    if (attribute != ATTR_CHECKED || !value)
        return UI_ERR_BAD_ATTRIBUTE;
    *value = item->isChecked() ? 1 : 0;
    return 0;
}

int GetMenuBarAttribute(int menubar, int id, int attribute, char *text, size_t size)
{
    if (!Ui_MenuBar(menubar))
        return UI_ERR_BAD_HANDLE;
    if (attribute == ATTR_MENU_NAME) {
        QMenu *menu = menu_of(menubar, id);
        return menu ? copy_out(menu->title(), text, size) : UI_ERR_BAD_ID;
    }
    if (attribute == ATTR_ITEM_NAME) {
        QAction *item = menu_item(menubar, id);
        return item ? copy_out(item->text(), text, size) : UI_ERR_BAD_ID;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}
