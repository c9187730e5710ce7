// What the program expects of its two panel resource files: every id it
// addresses, with the kind of control it must be.  Checked when they load.
#pragma once

#include "platform/ui_toolkit.h"

extern const UiExpectation kUiContract[];
extern const int kUiContractSize;
