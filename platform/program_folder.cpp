#include "platform/program_folder.h"

#include <climits>
#include <string>

#include <unistd.h>

int Enter_Program_Folder()
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return -1;
    std::string path(exe, (size_t)n);
    std::string folder = path.substr(0, path.find_last_of('/'));
    return chdir(folder.empty() ? "/" : folder.c_str()) == 0 ? 0 : -1;
}
