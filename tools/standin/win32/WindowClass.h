// Registers a window class of this module once; a second call finds it there.
#pragma once
#include <windows.h>

namespace standin {

inline void EnsureWindowClass(const char* name, WNDPROC proc, HCURSOR cursor = nullptr)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, name, &wc))
        return;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace standin
