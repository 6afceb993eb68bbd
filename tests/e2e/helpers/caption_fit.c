/* Test helper: "caption_fit CAPTION FACE POINTS" measures the text of every
 * visible button, radio button and check box of the visible top-level
 * window captioned exactly CAPTION, in the font FACE at POINTS points at the
 * screen's DPI (the font the window uses; another process's font handle
 * cannot be used here), and prints one line per control, in creation order:
 *   "fits push X Y: TEXT (text W of room R)", or "CLIPPED" in place of
 *   "fits", and "radio" for a radio button or check box; X Y is the
 *   control's centre in the window's client area, for a click.
 * The room of a push button is its width less a margin of 4 pixels at 96
 * DPI on each side, so that the focus frame, drawn 3 pixels inside the
 * border, stays off the letters; a radio button or check box also gives up
 * its mark and the gap after it. Exits 0 when every text fits, 1 when one is
 * clipped, 2 when there is no such window or on bad usage. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

struct search {
    const char *caption;
    HWND found;
};

struct measure {
    HWND top;
    HDC dc;
    int dpi;
    int clipped;
};

static BOOL CALLBACK find_top(HWND window, LPARAM param)
{
    struct search *search = (struct search *)param;
    char caption[512];
    if (!IsWindowVisible(window))
        return TRUE;
    GetWindowTextA(window, caption, sizeof(caption));
    if (strcmp(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK measure_child(HWND control, LPARAM param)
{
    struct measure *measure = (struct measure *)param;
    char class_name[64], text[1024];
    RECT client, extent = {0, 0, 0, 0};
    POINT centre;
    LONG type;
    int room;
    if (!IsWindowVisible(control))
        return TRUE;
    GetClassNameA(control, class_name, sizeof(class_name));
    if (lstrcmpiA(class_name, "Button") != 0)
        return TRUE;
    if (GetWindowTextA(control, text, sizeof(text)) <= 0)
        return TRUE;
    type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_GROUPBOX)
        return TRUE;
    GetClientRect(control, &client);
    DrawTextA(measure->dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    room = client.right - 2 * MulDiv(4, measure->dpi, 96);
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
        room = client.right - GetSystemMetrics(SM_CXMENUCHECK) - MulDiv(4, measure->dpi, 96);
    if (extent.right > room)
        measure->clipped = 1;
    centre.x = client.right / 2;
    centre.y = client.bottom / 2;
    MapWindowPoints(control, measure->top, &centre, 1);
    printf("%s %s %ld %ld: %s (text %ld of room %d)\n", extent.right > room ? "CLIPPED" : "fits",
           type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? "push" : "radio", (long)centre.x,
           (long)centre.y, text, (long)extent.right, room);
    return TRUE;
}

int main(int argc, char **argv)
{
    struct search search = {0, 0};
    struct measure measure = {0, 0, 96, 0};
    HDC screen;
    HFONT font;
    if (argc != 4) {
        fprintf(stderr, "usage: caption_fit CAPTION FACE POINTS\n");
        return 2;
    }
    SetProcessDPIAware();
    search.caption = argv[1];
    EnumWindows(find_top, (LPARAM)&search);
    if (!search.found) {
        fprintf(stderr, "no visible window captioned '%s'\n", argv[1]);
        return 2;
    }
    measure.top = search.found;
    screen = GetDC(NULL);
    measure.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    measure.dc = CreateCompatibleDC(screen);
    font = CreateFontA(-MulDiv(atoi(argv[3]), measure.dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, argv[2]);
    SelectObject(measure.dc, font);
    EnumChildWindows(search.found, measure_child, (LPARAM)&measure);
    printf("dpi %d\n", measure.dpi);
    return measure.clipped;
}
