#include "platform/text_file.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool write_all(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    return true;
}

bool write_file(const char *name, int flags, const std::string &text, bool cut_rest)
{
    int fd = open(name, O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
    if (fd < 0)
        return false;
    bool ok = write_all(fd, text);
    if (cut_rest)
        ok = ftruncate(fd, (off_t)text.size()) == 0 && ok;
    return close(fd) == 0 && ok;
}

}  // namespace

bool Text_File_Replace(const char *name, const std::string &text)
{
    return write_file(name, 0, text, true);
}

bool Text_File_Append(const char *name, const std::string &text)
{
    return write_file(name, O_APPEND, text, false);
}
