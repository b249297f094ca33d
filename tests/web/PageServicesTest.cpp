// SPDX-License-Identifier: MIT
// The page's own versions of what the browser's C library and threads lack, built for the desktop: the
// settings file's link made by an exclusive copy (web/Link.cpp), and the lock of a page with one thread
// (web/CriticalSection.cpp). This program's `link` is the page's.
#include "app/CriticalSection.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(PageLink, CopiesUnderTheNewNameButNeverOverAFileThatExists)
{
    const TemporaryDirectory folder;
    const std::string from = folder.getPath() + "/from";
    std::mt19937 random(26);
    // Longer than one pass of the copy, and ending in the middle of one.
    std::string bytes(5000, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    write(from, bytes);

    const std::string to = folder.getPath() + "/to";
    ASSERT_EQ(0, link(from.c_str(), to.c_str()));
    EXPECT_EQ(bytes, contents(to));
    EXPECT_EQ(bytes, contents(from));

    const std::string kept = folder.getPath() + "/kept";
    write(kept, "the player's own");
    errno = 0;
    EXPECT_EQ(-1, link(from.c_str(), kept.c_str()));
    EXPECT_EQ(EEXIST, errno);
    EXPECT_EQ("the player's own", contents(kept));

    const std::string none = folder.getPath() + "/none";
    errno = 0;
    EXPECT_EQ(-1, link((folder.getPath() + "/missing").c_str(), none.c_str()));
    EXPECT_EQ(ENOENT, errno);
    EXPECT_NE(0, access(none.c_str(), F_OK)) << "nothing is made from a file that is not there";
}

TEST(PageCriticalSection, IsHeldOnceAndFailsRatherThanWaitOnTheOneThread)
{
    CriticalSection lock;
    ASSERT_TRUE(lock.lock());
    EXPECT_FALSE(lock.lock()) << "nobody else could ever release it";
    lock.unlock();
    EXPECT_TRUE(lock.lock());
    lock.unlock();
}
