// com_open N [SECONDS]: opens port N as orn-config would, prints OpenCom's
// result and, when it opened, holds the port for SECONDS before exiting.
// Tests use it as "another process" that wants or holds a port.
#include "platform/serial.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    int port = std::atoi(argv[1]);
    int r = OpenCom(port, "");
    std::printf("%d\n", r);
    std::fflush(stdout);
    if (r >= 0 && argc > 2)
        Delay(std::atof(argv[2]));
    CloseCom(port);
    return 0;
}
