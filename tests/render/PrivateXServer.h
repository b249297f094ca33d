// SPDX-License-Identifier: MIT
#pragma once

#include "DrawingWindow.h"
#include "TemporaryDirectory.h"

#include <X11/Xlib.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// An Xvfb server of the test's own on a free display, whose screen is kept in a file (-fbdir): the test
// reads what the server really shows, whoever drew it, without asking the server. It becomes the
// process's DISPLAY. The test can also lay a window of its own over part of the screen.
class PrivateXServer {
public:
    PrivateXServer(int width, int height) : width(width), height(height)
    {
        int chosen[2];
        if (pipe(chosen) != 0)
            throw std::runtime_error("no pipe");
        server = fork();
        if (server == 0) {
            const std::string fd = std::to_string(chosen[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            if (std::freopen("/dev/null", "w", stderr) == nullptr)
                _exit(127);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-fbdir", directory.getPath().c_str(), "-screen", "0",
                   screen.c_str(), "-nocursor", "-noreset", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(chosen[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        for (char digit = 0; read(chosen[0], &digit, 1) == 1 && digit != '\n';)
            number += digit;
        close(chosen[0]);
        if (number.empty())
            throw std::runtime_error("Xvfb did not start");
        display = std::make_unique<ScopedEnvironment>("DISPLAY", (":" + number).c_str());
        connection = XOpenDisplay(nullptr);
    }
    ~PrivateXServer()
    {
        if (connection != nullptr)
            XCloseDisplay(connection);
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // The whole screen as the server shows it now.
    Screenshot screen() const
    {
        std::ifstream file(directory.getPath() + "/Xvfb_screen0", std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        // An XWD file: big-endian header words, a colour map of 12-byte entries, then 32-bit pixels
        // stored B, G, R, unused.
        const auto word = [&bytes](int index) {
            const unsigned char* at = bytes.data() + index * 4;
            return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
        };
        const std::size_t start = word(0) + word(19) * 12, rowBytes = word(12);
        if (bytes.size() < start + rowBytes * height || word(11) != 32)
            throw std::runtime_error("unexpected screen file");
        Screenshot shot{width, height, {}};
        for (int i = 0; i < width * height; ++i) {
            const unsigned char* pixel = &bytes[start + i / width * rowBytes + i % width * 4];
            shot.pixels.push_back({pixel[2], pixel[1], pixel[0]});
        }
        return shot;
    }

    // Maps a window of one colour over a rectangle of the screen, in front of everything.
    void cover(int x, int y, int coverWidth, int coverHeight, unsigned long colour)
    {
        XSetWindowAttributes attributes = {};
        attributes.background_pixel = colour;
        attributes.override_redirect = True;
        coverWindow = XCreateWindow(connection, DefaultRootWindow(connection), x, y, coverWidth, coverHeight, 0,
                                    CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect,
                                    &attributes);
        XMapRaised(connection, coverWindow);
        XSync(connection, False);
    }
    // Takes the covering window away again, which exposes what was under it.
    void uncover()
    {
        XDestroyWindow(connection, coverWindow);
        XSync(connection, False);
    }

private:
    const int width;
    const int height;
    // Holds the screen file.
    TemporaryDirectory directory;
    pid_t server = -1;
    // Points DISPLAY at this server while it runs.
    std::unique_ptr<ScopedEnvironment> display;
    // The test's own connection, for its covering window.
    Display* connection = nullptr;
    Window coverWindow = 0;
};
