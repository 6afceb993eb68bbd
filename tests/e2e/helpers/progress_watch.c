/* Test helper: "progress_watch CLASS CAPTION SECONDS INTERVAL_MS" watches the
 * progress bar (a msctls_progress32 child) of the visible top-level window of
 * window class CLASS captioned exactly CAPTION while another program copies.
 *
 * It waits until that window exists, prints "ready" (the caller may start
 * the copy now), waits until its bar is visible, then, every
 * INTERVAL_MS, sends WM_NULL to the window with SendMessageTimeout (at most
 * one second) and measures how long the window took to answer, then asks the
 * bar for its position (PBM_GETPOS). It stops when the bar shows its maximum
 * (PBM_GETRANGE) or is hidden again, the window is gone, or SECONDS have
 * passed since the start.
 *
 * A sample counts as taken during the copy when the bar was still below its
 * maximum after the answer: the bar only moves forwards, so the window
 * answered from inside the copy loop (or before it started).
 *
 * Prints one line per sample, "sample MS POSITION ANSWER_US" (MS since the
 * bar was first seen; POSITION and ANSWER_US are -1 when the bar or the
 * window did not answer within the second), then one line
 *   "summary samples N distinct D first P last Q maximum M worst_us W p95_us F"
 * over the samples taken during the copy (D distinct positions, P and Q the
 * first and last position read, M the bar's maximum or -1 when it never
 * answered, W the slowest answer and F the 95th percentile of the answers,
 * each -1 when it is an answer that timed out). Exits 0 after a summary, 1 when the
 * window or its visible bar never showed up, 2 on bad usage. */
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_POSITIONS 1001
#define MAX_SAMPLES 100000
#define ANSWER_LIMIT_MS 1000

struct target {
    const char *class_name;
    const char *caption;
    HWND window;
    HWND bar;
};

static BOOL CALLBACK find_bar(HWND child, LPARAM context)
{
    struct target *target = (struct target *)context;
    char class_name[64];

    if (GetClassNameA(child, class_name, sizeof class_name) &&
        strcmp(class_name, PROGRESS_CLASSA) == 0) {
        target->bar = child;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK find_window(HWND window, LPARAM context)
{
    struct target *target = (struct target *)context;
    char class_name[256];
    char caption[1024];

    if (!IsWindowVisible(window) || !GetClassNameA(window, class_name, sizeof class_name))
        return TRUE;
    if (strcmp(target->class_name, "*") != 0 && strcmp(target->class_name, class_name) != 0)
        return TRUE;
    caption[0] = '\0';
    GetWindowTextA(window, caption, sizeof caption);
    if (strcmp(caption, target->caption) != 0)
        return TRUE;
    target->window = window;
    target->bar = NULL;
    EnumChildWindows(window, find_bar, context);
    return target->bar == NULL;
}

static double now_ms(void)
{
    static LARGE_INTEGER frequency;
    LARGE_INTEGER counter;

    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

/* The answer time of WINDOW to WM_NULL in microseconds, -1 without an answer. */
static long answer_us(HWND window)
{
    DWORD_PTR result = 0;
    double start = now_ms();

    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ANSWER_LIMIT_MS, &result))
        return -1;
    return (long)((now_ms() - start) * 1000.0);
}

static int by_value(const void *a, const void *b)
{
    long x = *(const long *)a, y = *(const long *)b;

    return (x > y) - (x < y);
}

/* The bar's position or maximum; -1 when the bar does not answer. */
static int bar_value(HWND bar, UINT message, WPARAM wparam)
{
    DWORD_PTR result = 0;

    if (!SendMessageTimeoutA(bar, message, wparam, 0, SMTO_NORMAL, ANSWER_LIMIT_MS, &result))
        return -1;
    return (int)result;
}

int main(int argc, char **argv)
{
    struct target target = {0};
    static char seen[MAX_POSITIONS];
    static long answers[MAX_SAMPLES];
    double deadline, first_seen;
    int interval, maximum = -1, samples = 0, distinct = 0, first = -1, last = -1;
    long worst = 0, p95 = 0;

    if (argc != 5)
        return 2;
    target.class_name = argv[1];
    target.caption = argv[2];
    deadline = now_ms() + atof(argv[3]) * 1000.0;
    interval = atoi(argv[4]);
    if (interval < 1)
        return 2;
    _setmode(_fileno(stdout), _O_BINARY);

    /* The window and its bar, then the bar shown (the Progress page). */
    for (;;) {
        target.window = NULL;
        target.bar = NULL;
        EnumWindows(find_window, (LPARAM)&target);
        if (target.bar)
            break;
        if (now_ms() > deadline)
            return 1;
        Sleep(5);
    }
    printf("ready\n");
    fflush(stdout);
    while (!IsWindowVisible(target.bar)) {
        if (now_ms() > deadline || !IsWindow(target.window))
            return 1;
        Sleep(2);
    }
    first_seen = now_ms();

    while (now_ms() < deadline && IsWindow(target.window) && IsWindowVisible(target.bar)) {
        double at = now_ms() - first_seen;
        long answer = answer_us(target.window);
        int position;

        if (maximum < 0)
            maximum = bar_value(target.bar, PBM_GETRANGE, FALSE);
        position = bar_value(target.bar, PBM_GETPOS, 0);
        printf("sample %.0f %d %ld\n", at, position, answer);
        /* The copy has ended, or the page changed while the window was asked. */
        if ((maximum >= 0 && position >= maximum) || !IsWindow(target.window) ||
            !IsWindowVisible(target.bar))
            break;
        if (samples < MAX_SAMPLES)
            answers[samples] = answer < 0 ? LONG_MAX : answer;
        ++samples;
        if (answer < 0 || (worst >= 0 && answer > worst))
            worst = answer;
        if (position < 0)
            continue;
        if (first < 0)
            first = position;
        last = position;
        if (position < MAX_POSITIONS && !seen[position]) {
            seen[position] = 1;
            ++distinct;
        }
        Sleep((DWORD)interval);
    }
    if (samples > 0) {
        int kept = samples < MAX_SAMPLES ? samples : MAX_SAMPLES;

        qsort(answers, (size_t)kept, sizeof answers[0], by_value);
        p95 = answers[(kept * 95 + 99) / 100 - 1];
        if (p95 == LONG_MAX)
            p95 = -1;
    }
    printf("summary samples %d distinct %d first %d last %d maximum %d worst_us %ld p95_us %ld\n",
           samples, distinct, first, last, maximum, worst, p95);
    fflush(stdout);
    return 0;
}
