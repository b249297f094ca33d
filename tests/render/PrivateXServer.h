// SPDX-License-Identifier: MIT
#pragma once

#include "DrawingWindow.h"
#include "TemporaryDirectory.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// An Xvfb server of the test's own on a free display, whose whole screen the test reads: what the
// server really shows, whoever drew it. It becomes the process's DISPLAY. The test can also lay a
// window of its own over part of the screen.
class PrivateXServer {
public:
    PrivateXServer(int width, int height) : width(width), height(height)
    {
        int chosen[2];
        if (pipe(chosen) != 0 || (server = fork()) < 0)
            throw std::runtime_error("cannot start Xvfb");
        if (server == 0) {
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            if (std::freopen("/dev/null", "w", stderr) != nullptr)
                execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(chosen[1]).c_str(), "-screen", "0",
                       screen.c_str(), "-nocursor", "-noreset", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(chosen[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number = ":";
        for (char digit = 0; read(chosen[0], &digit, 1) == 1 && digit != '\n';)
            number += digit;
        close(chosen[0]);
        display = std::make_unique<ScopedEnvironment>("DISPLAY", number.c_str());
        connection = XOpenDisplay(nullptr);
        if (connection == nullptr)
            throw std::runtime_error("Xvfb did not start");
    }
    ~PrivateXServer()
    {
        XCloseDisplay(connection);
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // The whole screen as the server shows it now, whoever drew it.
    Screenshot screen() const
    {
        XImage* image = XGetImage(connection, DefaultRootWindow(connection), 0, 0, width, height, AllPlanes, ZPixmap);
        Screenshot shot{width, height, {}};
        for (int i = 0; i < width * height; ++i) {
            const unsigned long pixel = XGetPixel(image, i % width, i / width);
            shot.pixels.push_back({int(pixel >> 16 & 255), int(pixel >> 8 & 255), int(pixel & 255)});
        }
        XDestroyImage(image);
        return shot;
    }

    // Maps a window of one colour over a rectangle of the screen (no window manager moves it), or takes
    // it away again, which exposes what was under it.
    void cover(int x, int y, int coverWidth, int coverHeight, unsigned long colour)
    {
        coverWindow = XCreateSimpleWindow(connection, DefaultRootWindow(connection), x, y, coverWidth, coverHeight,
                                          0, 0, colour);
        XMapRaised(connection, coverWindow);
        XSync(connection, False);
    }
    void uncover()
    {
        XDestroyWindow(connection, coverWindow);
        XSync(connection, False);
    }

private:
    const int width;
    const int height;
    pid_t server = -1;
    // Points DISPLAY at this server while it runs.
    std::unique_ptr<ScopedEnvironment> display;
    // The test's own connection, for its covering window.
    Display* connection = nullptr;
    Window coverWindow = 0;
};
