// orn-devsim as a process: how it makes itself known, and how it ends.
#include "platform/port_map.h"
#include "tests/support/test_support.h"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class DevsimShell : public ScratchDir {};

TEST_F(DevsimShell, EndsCleanlyOnEitherSignalRemovingItsLinksAndSavingItsState)
{
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        Simulator sim(232, {"--link", path("sim-link"), "--state", path("s.txt"), "--mode", "1"});
        EXPECT_EQ(readlink_of(path("sim-link")), sim.pty());
        EXPECT_EQ(readlink_of(Port_Device_Path(232)), sim.pty());
        EXPECT_TRUE(File_Exists(Port_Device_Path(232) + ".pid"));
        int status = sim.stop(sig);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_FALSE(File_Exists(path("sim-link")));
        EXPECT_FALSE(File_Exists(Port_Device_Path(232)));
        EXPECT_FALSE(File_Exists(Port_Device_Path(232) + ".pid"));
        EXPECT_NE(Read_Text_File(path("s.txt")).find("mode = 1\n"), std::string::npos);
    }
}

TEST_F(DevsimShell, TakesOverAPortNumberThatAKilledSimulatorLeftBehind)
{
    {
        Simulator first(233);
        first.kill_hard();
    }
    EXPECT_TRUE(File_Exists(Port_Device_Path(233) + ".pid")) << "SIGKILL leaves its claim behind";
    Simulator second(233);
    EXPECT_EQ(readlink_of(Port_Device_Path(233)), second.pty());
}

TEST_F(DevsimShell, RefusesAPortNumberALiveSimulatorHolds)
{
    Simulator first(234);
    EXPECT_THROW(Simulator second(234), std::runtime_error);
    EXPECT_EQ(readlink_of(Port_Device_Path(234)), first.pty());
}

TEST_F(DevsimShell, RefusesAStateFileItCannotRead)
{
    Write_Text_File(path("bad.txt"), "mode = three\n");
    EXPECT_THROW(Simulator sim(235, {"--state", path("bad.txt")}), std::runtime_error);
    EXPECT_EQ(Read_Text_File(path("bad.txt")), "mode = three\n") << "a refused file is not overwritten";
}

}  // namespace
