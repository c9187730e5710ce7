// Small text files of the working folder, written whole.
#pragma once

#include <string>

// Makes the file hold exactly text, as fopen "w" would.  The old bytes are
// overwritten in place and the rest cut off afterwards: truncating a
// non-empty file first costs the file system half a millisecond, which a
// diagnostic file rewritten by every exchange must not.  False when the
// file cannot be written.
bool Text_File_Replace(const char *name, const std::string &text);

// Adds text at the end, creating the file if needed ("a").
bool Text_File_Append(const char *name, const std::string &text);
