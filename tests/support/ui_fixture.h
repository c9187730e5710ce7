// Real panels, offscreen: a scratch tree laid out as the program's own
// (bin/ as the working folder, ui/ beside it), and the toolkit started.
#pragma once

#include "tests/support/test_support.h"

#include <string>

class UiTree : public ScratchDir {
protected:
    void SetUp() override;
    // Replaces ui/ with copies of the real files that a test may change.
    void copy_ui_files();
    std::string ui_file(const char *name) const { return dir_ + "/ui/" + name; }
    // Runs the event queue as the main loop would, for at least this long;
    // a callback's work (a whole Read all) runs inside one turn.
    static void run_for(double seconds);
    std::string bin_ = "";
};

// Where rendered panels go for people to look at.
std::string Screens_Dir();
