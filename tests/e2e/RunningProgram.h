#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The game started as a child process in a process group of its own, driven from outside with
// xdotool like a person would. Whatever is still running of that group is killed when the object
// goes, so a failing test leaves nothing behind.
class RunningProgram {
public:
    // Runs command with the extra environment ("NAME=value" entries).
    RunningProgram(const std::vector<std::string>& command, const std::vector<std::string>& environment)
    {
        pid = fork();
        if (pid == 0) {
            setpgid(0, 0);
            for (const std::string& entry : environment)
                putenv(const_cast<char*>(entry.c_str()));
            std::vector<char*> arguments;
            for (const std::string& word : command)
                arguments.push_back(const_cast<char*>(word.c_str()));
            arguments.push_back(nullptr);
            execvp(arguments[0], arguments.data());
            _exit(127);
        }
        if (pid > 0)
            setpgid(pid, pid);
    }
    ~RunningProgram()
    {
        if (pid > 0 && !exited) {
            kill(-pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool isStarted() const { return pid > 0; }

    // Waits for the program's window to be mapped; false when it did not appear in time.
    bool findWindow(const std::string& title, int seconds)
    {
        const std::string command = "timeout " + std::to_string(seconds) +
            " xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null";
        FILE* output = popen(command.c_str(), "r");
        if (!output)
            return false;
        char line[64] = {};
        const bool found = std::fgets(line, sizeof(line), output) != nullptr;
        pclose(output);
        window = found ? std::string(line) : std::string();
        while (!window.empty() && (window.back() == '\n' || window.back() == '\r'))
            window.pop_back();
        return !window.empty();
    }

    const std::string& getWindow() const { return window; }

    // Window pixels from the window's top left.
    void moveMouse(int x, int y) const { xdotool("mousemove --sync --window " + window + " " + coordinates(x, y)); }
    void click(int x, int y) const
    {
        moveMouse(x, y);
        xdotool("click 1");
    }
    void pressKey(const std::string& key) const { xdotool("key --window " + window + " " + key); }

    // Waits up to the given time for the program to end; its exit status, or -1 if it did not end.
    int waitForExit(int milliseconds)
    {
        for (int waited = 0; waited <= milliseconds; waited += 50) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

private:
    static std::string coordinates(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    static void xdotool(const std::string& arguments)
    {
        const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", command.c_str());
    }

    // The child's id, which is also its process group's.
    pid_t pid = -1;
    // Set once the child has been reaped.
    bool exited = false;
    // The X window id of the game, as xdotool prints it.
    std::string window;
};
