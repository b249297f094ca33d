// SPDX-License-Identifier: MIT
// A page loads no shared libraries, and the browser's C library stops the page at any attempt. The game
// only ever looks for libraries that something else has loaded already (the sound libraries, to quieten
// them, and Xlib), so here none ever has been.
#include <dlfcn.h>

extern "C" void* dlopen(const char*, int)
{
    return nullptr;
}

extern "C" void* dlsym(void*, const char*)
{
    return nullptr;
}

extern "C" int dlclose(void*)
{
    return 0;
}
