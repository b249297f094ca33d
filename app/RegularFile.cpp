// SPDX-License-Identifier: MIT
#include "app/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* RegularFile::openForReading(const std::string& path)
{
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; it is cleared once the file
    // has proved to be regular.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)
        || fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(descriptor);
        return nullptr;
    }
    std::FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr)
        close(descriptor);
    return stream;
}

bool RegularFile::isSomethingElse(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}
