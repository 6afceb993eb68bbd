#pragma once

#include <windows.h>

// What Windows asks a screensaver to do.
enum class SaverMode { Settings, FullScreen, Preview };

struct SaverArgs {
    SaverMode mode;
    HWND window;  // preview parent or settings owner; null when none was given
};

// Reads the switches Windows passes to a screensaver: "/s", "/p HWND", "/p:HWND",
// "/c", "/c:HWND". "-" works like "/", letters may have any case. No switch, or
// one this saver does not know, asks for the settings.
SaverArgs parse_saver_args(const char* command_tail);
