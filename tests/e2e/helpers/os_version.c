/* Prints the Windows version a program sees, as GetVersionExA reports it:
   "MAJOR.MINOR PLATFORM_ID SERVICE_PACK". */
#include <stdio.h>
#include <windows.h>

int main(void) {
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return 1;
    printf("%lu.%lu %lu %s\n", info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId,
           info.szCSDVersion);
    return 0;
}
