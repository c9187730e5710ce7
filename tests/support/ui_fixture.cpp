#include "tests/support/ui_fixture.h"

#include "platform/serial.h"
#include "platform/ui_toolkit.h"

#include <cstdlib>
#include <filesystem>

#ifndef ORN_SOURCE_DIR
#error "ORN_SOURCE_DIR must name the source tree"
#endif
#ifndef ORN_BINARY_DIR
#error "ORN_BINARY_DIR must name the build tree"
#endif

namespace fs = std::filesystem;

void UiTree::SetUp()
{
    ScratchDir::SetUp();
    bin_ = dir_ + "/bin";
    fs::create_directory(bin_);
    fs::create_directory_symlink(std::string(ORN_SOURCE_DIR) + "/ui", dir_ + "/ui");
    fs::create_directory_symlink(std::string(ORN_SOURCE_DIR) + "/help", dir_ + "/help");
    for (const auto &picture : fs::directory_iterator(std::string(ORN_SOURCE_DIR) + "/pictures"))
        fs::create_symlink(picture.path(), bin_ + "/" + picture.path().filename().string());
    fs::current_path(bin_);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "orn-tests";
    static char *argv[] = {name, nullptr};
    Ui_Init(argc, argv);
}

void UiTree::copy_ui_files()
{
    fs::remove(dir_ + "/ui");
    fs::create_directory(dir_ + "/ui");
    for (const char *f : {"Scan.uir", "Tarvox.uir"})
        fs::copy_file(std::string(ORN_SOURCE_DIR) + "/ui/" + f, ui_file(f));
}

void UiTree::run_for(double seconds)
{
    double until = Now_S() + seconds;
    do {
        ProcessSystemEvents();
        Delay(0.01);
    } while (Now_S() < until);
}

std::string Screens_Dir()
{
    std::string dir = std::string(ORN_BINARY_DIR) + "/screens";
    fs::create_directories(dir);
    return dir;
}
