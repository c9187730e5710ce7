// Pop-ups, the file dialog and folders.  Tests queue answers so that no
// person is needed; what each pop-up said is logged for them.
#include "platform/ui_toolkit_qt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

QString Ui_Native_Path(const char *path);

namespace {

std::deque<std::string> sAnswers;   // scripted answers, oldest first
std::string sPopupLog;              // "title|text" lines since last read
std::string sPopupLogOut;           // what Ui_Popup_Log last handed out

void log_popup(const char *title, const char *text)
{
    sPopupLog += std::string(title ? title : "") + "|" + (text ? text : "") + "\n";
}

bool scripted(std::string &answer)
{
    if (sAnswers.empty())
        return false;
    answer = sAnswers.front();
    sAnswers.pop_front();
    return true;
}

QWidget *active_parent()
{
    return QApplication::activeWindow();
}

}  // namespace

void Ui_Script_Answer(const char *answer)
{
    sAnswers.push_back(answer ? answer : "");
}

const char *Ui_Popup_Log()
{
    sPopupLogOut = sPopupLog;
    sPopupLog.clear();
    return sPopupLogOut.c_str();
}

int MessagePopup(const char *title, const char *message)
{
    log_popup(title, message);
    std::string answer;
    if (scripted(answer))
        return 0;
    QMessageBox::information(active_parent(), QString::fromUtf8(title ? title : ""),
                             QString::fromUtf8(message ? message : ""));
    return 0;
}

int ConfirmPopup(const char *title, const char *question)
{
    log_popup(title, question);
    std::string answer;
    if (scripted(answer))
        return answer == "1" ? 1 : 0;
    auto choice = QMessageBox::question(active_parent(), QString::fromUtf8(title ? title : ""),
                                        QString::fromUtf8(question ? question : ""));
    return choice == QMessageBox::Yes ? 1 : 0;
}

int FileSelectPopup(const char *directory, const char *default_name, const char *filter, const char *title,
                    int button, int /*restrict_dir*/, int /*restrict_ext*/, int /*allow_cancel*/,
                    int /*allow_make_dir*/, char *path, size_t size)
{
    log_popup(title, default_name);
    if (!path || size == 0)
        return 0;
    std::string answer;
    QString chosen;
    if (scripted(answer)) {
        chosen = QString::fromUtf8(answer.c_str());
    } else {
        QString dir = Ui_Native_Path(directory && *directory ? directory : ".");
        QString pattern = QString::fromUtf8(filter && *filter ? filter : "*");
        QString name = QString::fromUtf8(title ? title : "");
        chosen = button == VAL_SAVE_BUTTON
                     ? QFileDialog::getSaveFileName(active_parent(), name, dir, pattern)
                     : QFileDialog::getOpenFileName(active_parent(), name, dir, pattern);
    }
    QByteArray utf8 = chosen.toUtf8();
    if (utf8.isEmpty() || (size_t)utf8.size() >= size)
        return 0;   // cancelled, or a path too long for the caller's buffer
    std::memcpy(path, utf8.constData(), (size_t)utf8.size() + 1);
    return 1;
}

int SetDir(const char *path)
{
    if (!path)
        return -1;
    QByteArray p = Ui_Native_Path(path).toUtf8();
    return chdir(p.constData()) == 0 ? 0 : -1;
}

int MakeDir(const char *path)
{
    if (!path)
        return -1;
    QByteArray p = Ui_Native_Path(path).toUtf8();
    if (mkdir(p.constData(), 0777) == 0 || errno == EEXIST)
        return 0;
    return -1;
}
