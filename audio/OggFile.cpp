// SPDX-License-Identifier: MIT
#include "OggFile.h"

#include <sys/stat.h>

#include <iostream>

bool OggFile::isTooLarge(std::FILE* file, long long largest, const std::string& path)
{
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size <= largest)
        return false;
    std::cout << "vorbisfile: File too large, so it stays silent: " << path << std::endl;
    return true;
}

void OggFile::rewind(OggVorbis_File* file)
{
    if (ov_pcm_tell(file) != 0)
        ov_raw_seek(file, 0);
}
