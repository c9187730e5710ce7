// Help topics in a help window of the program.  A help path names a book
// and a topic in it as "..\help\BOOK.chm::/Topic.html"; the topic is the
// HTML file of that name in the book's folder.
#pragma once

inline constexpr int HH_DISPLAY_TOPIC = 0;   // show the path's topic
inline constexpr int HH_CLOSE_ALL = 18;      // close every help window

// Shows a topic (HH_DISPLAY_TOPIC) or closes the help window (HH_CLOSE_ALL,
// no path).  A topic that is missing is shown as such in the window.
int ShowHtmlHelp(const char *path, int command, unsigned long data);

// For tests: how many help windows are open, and the file the open one shows
// ("" when none).
int Ui_Help_Window_Count();
const char *Ui_Help_Topic_File();
