// SPDX-License-Identifier: MIT
// The browser's file system has no hard links. The settings file is made by linking a finished file into
// place, which must never replace one that exists; here the new name is created exclusively and the
// bytes copied, which keeps that promise (the caller removes the temporary file afterwards).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

extern "C" int link(const char* existing, const char* name)
{
    const int from = open(existing, O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return -1;
    const int to = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool copied = to >= 0;
    char buffer[512];
    for (ssize_t read = 0; copied && (read = ::read(from, buffer, sizeof(buffer))) != 0;)
        copied = read > 0 && write(to, buffer, static_cast<size_t>(read)) == read;
    const int error = errno;
    close(from);
    if (to >= 0 && (close(to) != 0 || !copied))
        unlink(name);
    errno = error;
    return copied ? 0 : -1;
}
