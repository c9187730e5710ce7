#include "platform/ui_help.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <string>

QString Ui_Native_Path(const char *path);

namespace {

QPointer<QWidget> sWindow;   // the open help window, if any
std::string sTopicFile;      // the file it was opened on

QWidget *make_window(const QString &file, bool found, const QString &topic, const QString &book)
{
    auto *window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle("ORN Config - Help");
    window->resize(760, 620);
    auto *back = new QPushButton("Back");
    auto *forward = new QPushButton("Forward");
    back->setEnabled(false);
    forward->setEnabled(false);
    auto *browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    QObject::connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
    QObject::connect(forward, &QPushButton::clicked, browser, &QTextBrowser::forward);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(window);
    layout->addLayout(buttons);
    layout->addWidget(browser);
    if (found)
        browser->setSource(QUrl::fromLocalFile(file));
    else
        browser->setHtml(QString("<h2>Help topic not found</h2><p>The topic <b>%1</b> of the help book <b>%2</b> "
                                 "is not installed (looked for %3).</p>")
                             .arg(topic.toHtmlEscaped(), book.toHtmlEscaped(), file.toHtmlEscaped()));
    return window;
}

}  // namespace

int ShowHtmlHelp(const char *path, int command, unsigned long /*data*/)
{
    if (command == HH_CLOSE_ALL) {
        if (sWindow)
            delete sWindow.data();
        sTopicFile.clear();
        return 0;
    }
    if (command != HH_DISPLAY_TOPIC || !path)
        return -1;
    QString full = Ui_Native_Path(path);
    int split = full.indexOf("::/");
    QString book = split < 0 ? full : full.left(split);
    QString topic = split < 0 ? QString() : full.mid(split + 3);
    QString file = QFileInfo(book).absolutePath() + "/" + topic;
    bool found = !topic.isEmpty() && QFileInfo(file).isFile();
    if (sWindow)
        delete sWindow.data();   // one help window at a time
    sWindow = make_window(QFileInfo(file).absoluteFilePath(), found, topic, QFileInfo(book).fileName());
    sWindow->show();
    sTopicFile = QFileInfo(file).absoluteFilePath().toStdString();
    return 0;
}

int Ui_Help_Window_Count()
{
    int open = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->findChild<QTextBrowser *>())
            ++open;
    return open;
}

const char *Ui_Help_Topic_File()
{
    return sTopicFile.c_str();
}
