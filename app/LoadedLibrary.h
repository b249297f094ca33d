// SPDX-License-Identifier: MIT
#pragma once

#include <dlfcn.h>

// The function `name` of `library` if the process has already loaded that library, else null. The game
// reaches into libraries that SDL and PortAudio bring only this way and never loads one itself: linking
// them would make the package depend on them, and a program linking Xlib is held to X11 by sdl12-compat.
template <class Function>
Function functionOfLoadedLibrary(const char* library, const char* name)
{
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr)
        return nullptr;
    void* function = dlsym(handle, name);
    // Whoever loaded the library first keeps it loaded.
    dlclose(handle);
    return reinterpret_cast<Function>(function);
}
