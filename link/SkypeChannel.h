// The transport to the local Skype client: the Skype Desktop API's registered
// window messages and WM_COPYDATA text commands.
#pragma once
#include "SkypeApi.h"
#include "winapi.h"

// "SkypeControlAPIAttach": Skype's attachment answers (wParam its API window,
// lParam the status).
extern const UINT g_uAttachMsg;
// "SkypeControlAPIDiscover": broadcast with our window as wParam to find Skype.
extern const UINT g_uDiscoverMsg;

// Holds a command while it is sent; every send, nested ones included, reuses it.
constexpr unsigned kCopyBufferSize = 1024;
extern char g_szCopyBuffer[kCopyBufferSize];
