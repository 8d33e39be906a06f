// <windows.h> as every Windows source of the program includes it: lean (no
// OLE, sockets or cryptography), without the min and max macros, and
// without the macros that would rename functions of ours (the Win32
// functions keep their full names, LoadStringA, CreateFileA).
#pragma once
#if !defined(_WIN32)
#error "platform/windows_lean.h is for Windows sources only"
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef LoadString  // tsl::LoadString
#undef CreateFile  // gdi::EmfRecorder::CreateFile
