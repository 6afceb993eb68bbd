/* Harness probe: shows a message box captioned "Harness Probe" whose text is
 * the command line, and exits with code 3 once it is closed. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    (void)instance;
    (void)previous;
    (void)show;
    MessageBoxA(NULL, command_line, "Harness Probe", MB_OK);
    return 3;
}
