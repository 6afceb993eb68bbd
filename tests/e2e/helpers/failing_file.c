/* Test helper (Linux, FUSE): "failing_file SOURCE MOUNTPOINT BAD_START BAD_END"
 * mounts at MOUNTPOINT a read-only file system holding one file, named like
 * SOURCE and with its bytes, whose range BAD_START to BAD_END (byte offsets,
 * end exclusive) cannot be read: every read that touches it fails with EIO,
 * like a damaged sector on a disk or a network share that drops mid-copy.
 * Reads elsewhere, before and after that range, succeed.
 *
 * Each read a program makes reaches this helper as it was asked (direct I/O:
 * no page cache, no read-ahead), so a read wholly before BAD_START never fails
 * because the kernel read ahead into the damaged range.
 *
 * It runs in the foreground until the file system is unmounted (umount
 * MOUNTPOINT) or it gets SIGTERM or SIGINT, then unmounts and exits 0. It
 * prints "mounted" once the file system answers and "failed read
 * at OFFSET" for each read it refused, each flushed at once. Exits 1 when
 * the source cannot be opened or the mount fails, 2 on bad usage. */
#define FUSE_USE_VERSION 31

#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <libgen.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

struct failing_file {
    int source;
    char name[256];
    off_t size;
    off_t bad_start;
    off_t bad_end;
};

static struct failing_file *state(void)
{
    return fuse_get_context()->private_data;
}

static int is_the_file(const char *path)
{
    return path[0] == '/' && strcmp(path + 1, state()->name) == 0;
}

static int ff_getattr(const char *path, struct stat *st, struct fuse_file_info *fi)
{
    (void)fi;
    memset(st, 0, sizeof *st);
    if (strcmp(path, "/") == 0) {
        st->st_mode = S_IFDIR | 0555;
        st->st_nlink = 2;
        return 0;
    }
    if (!is_the_file(path))
        return -ENOENT;
    st->st_mode = S_IFREG | 0555;
    st->st_nlink = 1;
    st->st_size = state()->size;
    return 0;
}

static int ff_readdir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info *fi, enum fuse_readdir_flags flags)
{
    (void)offset;
    (void)fi;
    (void)flags;
    if (strcmp(path, "/") != 0)
        return -ENOENT;
    fill(buffer, ".", NULL, 0, 0);
    fill(buffer, "..", NULL, 0, 0);
    fill(buffer, state()->name, NULL, 0, 0);
    return 0;
}

static int ff_open(const char *path, struct fuse_file_info *fi)
{
    if (!is_the_file(path))
        return -ENOENT;
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    fi->direct_io = 1;
    return 0;
}

static int ff_read(const char *path, char *buffer, size_t size, off_t offset,
                   struct fuse_file_info *fi)
{
    struct failing_file *f = state();
    ssize_t count;
    (void)fi;
    if (!is_the_file(path))
        return -ENOENT;
    if (offset >= f->size)
        return 0;
    if ((off_t)size > f->size - offset)
        size = (size_t)(f->size - offset);
    if (offset < f->bad_end && offset + (off_t)size > f->bad_start) {
        printf("failed read at %lld\n", (long long)offset);
        fflush(stdout);
        return -EIO;
    }
    count = pread(f->source, buffer, size, offset);
    return count < 0 ? -errno : (int)count;
}

static void *ff_init(struct fuse_conn_info *conn, struct fuse_config *config)
{
    (void)conn;
    config->direct_io = 1;
    config->kernel_cache = 0;
    printf("mounted\n");
    fflush(stdout);
    return state();
}

static const struct fuse_operations operations = {
    .getattr = ff_getattr,
    .readdir = ff_readdir,
    .open = ff_open,
    .read = ff_read,
    .init = ff_init,
};

/* Parses a whole non-negative decimal number into *value. */
static int parse_offset(const char *text, off_t *value)
{
    char *end;
    long long parsed;
    errno = 0;
    parsed = strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0)
        return 0;
    *value = (off_t)parsed;
    return 1;
}

int main(int argc, char **argv)
{
    static struct failing_file file;
    struct stat st;
    char source_copy[4096];

    if (argc != 5 || !parse_offset(argv[3], &file.bad_start) ||
        !parse_offset(argv[4], &file.bad_end) || file.bad_end < file.bad_start ||
        strlen(argv[1]) >= sizeof source_copy) {
        fprintf(stderr, "usage: failing_file SOURCE MOUNTPOINT BAD_START BAD_END\n");
        return 2;
    }
    file.source = open(argv[1], O_RDONLY);
    if (file.source < 0 || fstat(file.source, &st) != 0) {
        perror(argv[1]);
        return 1;
    }
    file.size = st.st_size;
    strcpy(source_copy, argv[1]);
    snprintf(file.name, sizeof file.name, "%s", basename(source_copy));

    /* Foreground, one thread; the options make the file system usable only
     * as the user who mounts it (root in the tests) and never cached. */
    char *fuse_argv[] = {argv[0], "-f", "-s", "-o", "ro,default_permissions", argv[2], NULL};
    return fuse_main(6, fuse_argv, &operations, &file) == 0 ? 0 : 1;
}
