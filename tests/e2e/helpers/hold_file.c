/* Test helper: "hold_file FILE MILLISECONDS" keeps FILE open for
 * MILLISECONDS, the way a virus scanner or a backup program holds a file it
 * reads: others may still read it, but nobody can write, rename or delete it
 * meanwhile. (Allowing readers lets it take hold of a program file while that
 * program is still running; with no sharing at all the open would fail then,
 * and the program could not be started while it is held.) It prints
 * "holding FILE" once the file is open and "releasing FILE" just before it
 * closes it, each flushed at once, so that a test reading its output knows
 * that anything that happened before "releasing" happened while it held the
 * file. Exits 0 when done, 1 when the file cannot be opened (printing the
 * error code), 2 on bad usage. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char **argv)
{
    HANDLE file;
    char *end;
    unsigned long milliseconds;

    if (argc != 3 || argv[2][0] == '\0')
        return 2;
    milliseconds = strtoul(argv[2], &end, 10);
    if (*end != '\0')
        return 2;
    _setmode(_fileno(stdout), _O_BINARY);
    file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("hold_file: cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    printf("holding %s\n", argv[1]);
    fflush(stdout);
    Sleep(milliseconds);
    printf("releasing %s\n", argv[1]);
    fflush(stdout);
    CloseHandle(file);
    return 0;
}
