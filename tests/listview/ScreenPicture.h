#pragma once
// Pictures of windows for a person to look at: test artifacts under <build>/artifacts.
#include <winsock2.h>
#include <windows.h>

#include <string>

// Writes what the screen shows of a window to <build>/artifacts/<name> as a 24-bit BMP file.
bool saveWindowPicture(HWND window, const std::wstring& name);
