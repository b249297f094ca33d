// SPDX-License-Identifier: MIT
#pragma once

#include <dlfcn.h>

// The function `name` of `library` if the process has already loaded that library, else null. The game
// reaches the libraries that SDL and PortAudio bring only this way and never loads one itself: it needs
// them only where they are in use (to hear of their errors or quieten them), and linking them would make
// the package depend on them.
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
