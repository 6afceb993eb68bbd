/* Test helper: "window_texts CLASS CAPTION" prints, for every visible
 * top-level window of window class CLASS ("*" for any) whose caption is
 * exactly CAPTION, the class and text of each of its visible descendants that
 * has a text, one line each in the order Windows enumerates them:
 * "Class: text", or "Class (disabled): text" for a disabled control. Line
 * breaks inside a text are printed as "\n". The texts are asked for with
 * WM_GETTEXT, so an edit box of another program gives its current content.
 * Exits 0 when such a window exists, 1 when none does, 2 on bad usage. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define TEXT_CAPACITY 4096

struct search {
    const char *class_name;
    const char *caption;
    int found;
};

static void print_escaped(const char *text)
{
    for (; *text; ++text) {
        if (*text == '\r' && text[1] == '\n')
            ++text;
        if (*text == '\r' || *text == '\n')
            fputs("\\n", stdout);
        else
            putchar(*text);
    }
}

static BOOL CALLBACK print_child(HWND child, LPARAM unused)
{
    char class_name[256];
    char text[TEXT_CAPACITY];
    DWORD_PTR copied = 0;

    (void)unused;
    if (!IsWindowVisible(child) || !GetClassNameA(child, class_name, sizeof class_name))
        return TRUE;
    if (!SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                             &copied) || copied == 0)
        return TRUE;
    text[copied < sizeof text ? copied : sizeof text - 1] = '\0';
    printf("%s%s: ", class_name, IsWindowEnabled(child) ? "" : " (disabled)");
    print_escaped(text);
    putchar('\n');
    return TRUE;
}

static BOOL CALLBACK visit_top_level(HWND window, LPARAM context)
{
    struct search *search = (struct search *)context;
    char class_name[256];
    char caption[TEXT_CAPACITY];

    if (!IsWindowVisible(window) || !GetClassNameA(window, class_name, sizeof class_name))
        return TRUE;
    if (strcmp(search->class_name, "*") != 0 && strcmp(search->class_name, class_name) != 0)
        return TRUE;
    caption[0] = '\0';
    GetWindowTextA(window, caption, sizeof caption);
    if (strcmp(caption, search->caption) != 0)
        return TRUE;
    search->found = 1;
    EnumChildWindows(window, print_child, 0);
    return TRUE;
}

int main(int argc, char **argv)
{
    struct search search = {0};

    if (argc != 3)
        return 2;
    _setmode(_fileno(stdout), _O_BINARY);
    search.class_name = argv[1];
    search.caption = argv[2];
    EnumWindows(visit_top_level, (LPARAM)&search);
    fflush(stdout);
    return search.found ? 0 : 1;
}
