// The Win32 types and constants the program uses: the real <windows.h> on the
// win32 build, a small header with the same values on the headless build.
#pragma once
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
// <windows.h> maps these names to their A/W forms; our framework has members of
// the same names, so keep the plain names ours.
#undef SendMessage
#undef SendMessageTimeout
#undef PostMessage
#undef MessageBox
#undef SetWindowText
#undef GetWindowText
#undef LoadIcon
#undef LoadString
#undef RegisterWindowMessage
#undef DrawIcon
#undef AppendMenu
#undef GetMessage
#undef DispatchMessage
#undef CreateDialog
#undef DefWindowProc
#undef CreateWindow
#else
#include "headless/wintypes.h"
#endif
