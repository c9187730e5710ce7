// Real input for tests: mouse and key events sent through Qt to the
// widgets, so they take the same road as a person's clicks.
#include "platform/ui_toolkit_qt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

int Ui_Simulate(int panel, int control, int input, int data1, int data2)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    if (control == 0) {
        if (input == INPUT_CLOSE) {
            QCloseEvent close;
            QCoreApplication::sendEvent(p->top, &close);
            return 0;
        }
        if (input == INPUT_KEY_F1) {
            QTest::keyClick(p->top, Qt::Key_F1);
            return 0;
        }
        if (input == INPUT_SHORTCUT && data1 >= 'A' && data1 <= 'Z') {
            // Shortcuts answer in the active window only.
            p->top->activateWindow();
            QApplication::setActiveWindow(p->top);
            QTest::keyClick(p->top, Qt::Key(data1), Qt::ControlModifier);
            return 0;
        }
        return UI_ERR_BAD_VALUE;
    }
    UiControl *c = Ui_Control(panel, control);
    if (!c)
        return UI_ERR_BAD_ID;
    QWidget *w = c->widget;
    switch (input) {
    case INPUT_CLICK:
        if (auto *list = qobject_cast<QListWidget *>(w)) {
            // data1: the row to click, from 1.
            QListWidgetItem *item = list->item(data1 - 1);
            if (!item)
                return UI_ERR_BAD_VALUE;
            QRect r = list->visualItemRect(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
            return 0;
        }
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        return 0;
    case INPUT_RIGHT_CLICK:
        if (auto *table = qobject_cast<QTableWidget *>(w)) {
            QRect r = table->visualRect(table->model()->index(data1 - 1, data2 - 1));
            QTest::mousePress(table->viewport(), Qt::RightButton, {}, r.center());
            QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, r.center());
            return 0;
        }
        QTest::mouseClick(w, Qt::RightButton, {}, w->rect().center());
        return 0;
    case INPUT_KEY_F1:
        QTest::keyClick(w, Qt::Key_F1);
        return 0;
    case INPUT_KEY_ENTER:
        QTest::keyClick(w, Qt::Key_Return);
        return 0;
    case INPUT_SET_VALUE:
        if (auto *spin = qobject_cast<QSpinBox *>(w)) {
            // As typed by a person: select all, type, Enter.
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(data1));
            QTest::keyClick(spin, Qt::Key_Return);
            return 0;
        }
        return UI_ERR_BAD_VALUE;
    default:
        return UI_ERR_BAD_VALUE;
    }
}

int Ui_Simulate_Menu(int menubar, int item)
{
    UiMenuBar *m = Ui_MenuBar(menubar);
    if (!m || !m->items.count(item) || !m->items[item])
        return UI_ERR_BAD_ID;
    m->items[item]->trigger();
    return 0;
}

int Ui_Grab(int panel, const char *png_file)
{
    UiPanel *p = Ui_Panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->top->ensurePolished();
    if (p->top->layout())
        p->top->layout()->activate();
    if (p->top->size().isEmpty())
        p->top->adjustSize();
    return p->top->grab().save(QString::fromUtf8(png_file)) ? 0 : UI_ERR_BAD_VALUE;
}
