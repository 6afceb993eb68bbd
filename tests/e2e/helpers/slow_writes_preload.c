/* Test helper for Linux (not a Windows program): a library preloaded into
 * Wine (LD_PRELOAD) that makes one folder behave like a slow disk. After each
 * write, pwrite or writev to a regular file whose path contains the text of
 * SLOW_WRITES_MATCH, the calling thread sleeps for as long as the bytes
 * written take at SLOW_WRITES_BYTES_PER_SECOND, as it would while a slow
 * device took them. Other files, pipes and sockets are not held. Without
 * both settings it holds nothing.
 *
 * Build: cc -shared -fPIC -O2 -o slow_writes_preload.so slow_writes_preload.c -ldl */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

static void hold(int fd, ssize_t written)
{
    const char *match = getenv("SLOW_WRITES_MATCH");
    const char *rate_text = getenv("SLOW_WRITES_BYTES_PER_SECOND");
    char link[64], path[PATH_MAX];
    struct stat status;
    struct timespec pause;
    double rate, seconds;
    ssize_t length;

    if (written <= 0 || !match || !*match || !rate_text || (rate = atof(rate_text)) <= 0)
        return;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return;
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return;
    path[length] = '\0';
    if (!strstr(path, match))
        return;
    seconds = (double)written / rate;
    pause.tv_sec = (time_t)seconds;
    pause.tv_nsec = (long)((seconds - (double)pause.tv_sec) * 1e9);
    while (nanosleep(&pause, &pause) != 0) {
    }
}

ssize_t write(int fd, const void *buffer, size_t count)
{
    static ssize_t (*next)(int, const void *, size_t);
    ssize_t written;

    if (!next)
        next = (ssize_t(*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    written = next(fd, buffer, count);
    hold(fd, written);
    return written;
}

ssize_t pwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    static ssize_t (*next)(int, const void *, size_t, off_t);
    ssize_t written;

    if (!next)
        next = (ssize_t(*)(int, const void *, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    written = next(fd, buffer, count, offset);
    hold(fd, written);
    return written;
}

ssize_t pwrite64(int fd, const void *buffer, size_t count, off64_t offset)
{
    static ssize_t (*next)(int, const void *, size_t, off64_t);
    ssize_t written;

    if (!next)
        next = (ssize_t(*)(int, const void *, size_t, off64_t))dlsym(RTLD_NEXT, "pwrite64");
    written = next(fd, buffer, count, offset);
    hold(fd, written);
    return written;
}

ssize_t writev(int fd, const struct iovec *vector, int count)
{
    static ssize_t (*next)(int, const struct iovec *, int);
    ssize_t written;

    if (!next)
        next = (ssize_t(*)(int, const struct iovec *, int))dlsym(RTLD_NEXT, "writev");
    written = next(fd, vector, count);
    hold(fd, written);
    return written;
}
