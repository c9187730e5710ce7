// The help topics and how they open.
#pragma once

inline constexpr char HELP_SCAN[] = "..\\help\\ORN.chm::/Scan.html";
inline constexpr char HELP_COMMANDS[] = "..\\help\\ORN.chm::/Commands.html";
inline constexpr char HELP_CONTENTS_ENGLISH[] = "..\\help\\ORN_E.chm::/ORN Config.html";
inline constexpr char HELP_CONTENTS_TCHINESE[] = "..\\help\\ORN_TC.chm::/ORN Config_C.html";

// Closes the help window that is open and shows the topic in a new one.
void Show_Help_Topic(const char *path);
