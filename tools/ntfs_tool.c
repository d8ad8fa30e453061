/*
 * Test-disk helper for tools/make-test-disks.
 *
 *   ntfs_tool gen SEED SIZE          write SIZE deterministic bytes to stdout
 *   ntfs_tool apply VOLUME SCRIPT    run SCRIPT against the NTFS volume file VOLUME
 *
 * The volume is opened with libntfs-3g directly, so fixtures are built without mounting anything.
 * SCRIPT holds one operation per line, fields separated by TABs (names may hold spaces, ':' and '\'):
 *
 *   mkdir   PATH
 *   put     PATH HOSTFILE                  create PATH holding the bytes of HOSTFILE
 *   write   PATH HOSTFILE OFFSET LENGTH    create PATH if missing, then copy that slice of HOSTFILE to the
 *                                          same offset (growing a file step by step fragments it)
 *   dosname PATH SHORTNAME                 give PATH a DOS 8.3 name, as Windows does for long names
 *   fill    PATH                           create PATH and write zeros to it until the volume is full
 *   trim    PATH BYTES                     cut BYTES off the end of PATH, freeing its last clusters
 *   delete  PATH                           delete a file, or a folder together with everything in it
 *
 * Paths are absolute, '/'-separated and UTF-8. Lines starting with '#' and empty lines are skipped.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ntfs-3g/types.h>
#include <ntfs-3g/attrib.h>
#include <ntfs-3g/dir.h>
#include <ntfs-3g/inode.h>
#include <ntfs-3g/layout.h>
#include <ntfs-3g/unistr.h>
#include <ntfs-3g/volume.h>

static const char* g_script_name = "";
static unsigned g_line_number = 0;

static void fail(const char* what, const char* detail)
{
    fprintf(stderr, "ntfs_tool: %s:%u: %s: %s (%s)\n", g_script_name, g_line_number, what, detail,
            errno ? strerror(errno) : "no errno");
    exit(1);
}

/* xorshift64*: fast, and the same bytes on every host, so a file's MD5 is fixed by its seed and size. */
static uint64_t seed_state(const char* seed)
{
    uint64_t hash = 1469598103934665603ULL; /* FNV-1a offset basis */
    for (const unsigned char* p = (const unsigned char*)seed; *p; ++p)
        hash = (hash ^ *p) * 1099511628211ULL;
    return hash ? hash : 0x9E3779B97F4A7C15ULL;
}

static int command_gen(const char* seed, const char* size_text)
{
    char* end = NULL;
    errno = 0;
    unsigned long long size = strtoull(size_text, &end, 10);
    if (errno || !end || *end)
        fail("bad size", size_text);
    uint64_t state = seed_state(seed);
    unsigned char buffer[65536];
    while (size > 0) {
        size_t chunk = size < sizeof buffer ? (size_t)size : sizeof buffer;
        for (size_t i = 0; i < chunk; i += 8) {
            state ^= state >> 12;
            state ^= state << 25;
            state ^= state >> 27;
            uint64_t value = state * 2685821657736338717ULL;
            for (size_t k = 0; k < 8 && i + k < chunk; ++k)
                buffer[i + k] = (unsigned char)(value >> (8 * k));
        }
        if (fwrite(buffer, 1, chunk, stdout) != chunk)
            fail("write", "stdout");
        size -= chunk;
    }
    return fflush(stdout) ? 1 : 0;
}

struct split_path
{
    ntfs_inode* parent;
    ntfschar* name;
    int name_length;
};

/* Opens the folder that holds PATH and converts its last component to UTF-16. */
static struct split_path open_parent(ntfs_volume* volume, const char* path)
{
    struct split_path result = {NULL, NULL, 0};
    const char* slash = strrchr(path, '/');
    if (path[0] != '/' || !slash || !slash[1])
        fail("path must be absolute and name a child", path);
    char* parent_path = strndup(path, (size_t)(slash - path));
    result.parent = ntfs_pathname_to_inode(volume, NULL, parent_path[0] ? parent_path : "/");
    if (!result.parent)
        fail("no parent folder for", path);
    free(parent_path);
    result.name = NULL;
    result.name_length = ntfs_mbstoucs(slash + 1, &result.name);
    if (result.name_length <= 0 || result.name_length > 255)
        fail("bad name", slash + 1);
    return result;
}

static ntfs_inode* create_entry(ntfs_volume* volume, const char* path, mode_t type)
{
    struct split_path split = open_parent(volume, path);
    /* securid 0 makes libntfs-3g give the entry its own default security descriptor */
    ntfs_inode* inode =
        ntfs_create(split.parent, const_cpu_to_le32(0), split.name, (u8)split.name_length, type);
    if (!inode)
        fail("create", path);
    free(split.name);
    if (ntfs_inode_close(split.parent))
        fail("close parent of", path);
    return inode;
}

static void write_slice(ntfs_inode* inode, const char* path, const char* host_file, long long offset,
                        long long length)
{
    int fd = open(host_file, O_RDONLY);
    if (fd < 0)
        fail("open host file", host_file);
    if (length < 0) {
        struct stat info;
        if (fstat(fd, &info))
            fail("stat host file", host_file);
        length = (long long)info.st_size - offset;
    }
    ntfs_attr* data = ntfs_attr_open(inode, AT_DATA, AT_UNNAMED, 0);
    if (!data)
        fail("open $DATA of", path);
    static char buffer[1 << 20];
    long long done = 0;
    while (done < length) {
        long long left = length - done;
        size_t want = left < (long long)sizeof buffer ? (size_t)left : sizeof buffer;
        ssize_t got = pread(fd, buffer, want, (off_t)(offset + done));
        if (got <= 0)
            fail("read host file", host_file);
        for (ssize_t written = 0; written < got;) {
            s64 step = ntfs_attr_pwrite(data, offset + done + written, got - written, buffer + written);
            if (step <= 0)
                fail("write", path);
            written += step;
        }
        done += got;
    }
    ntfs_attr_close(data);
    close(fd);
}

static long long parse_number(const char* text)
{
    char* end = NULL;
    errno = 0;
    long long value = strtoll(text, &end, 10);
    if (errno || !end || *end || value < 0)
        fail("bad number", text);
    return value;
}

struct name_list
{
    char** names;
    size_t count;
    size_t capacity;
};

static int collect_child(void* context, const ntfschar* name, const int name_length, const int name_type,
                         const s64 position, const MFT_REF reference, const unsigned type)
{
    (void)position;
    (void)reference;
    (void)type;
    struct name_list* list = context;
    /* a DOS name is a second index entry for a file already listed under its long name */
    if (name_type == FILE_NAME_DOS)
        return 0;
    char* text = NULL;
    if (ntfs_ucstombs(name, name_length, &text, 0) < 0)
        return -1;
    if (!strcmp(text, ".") || !strcmp(text, "..")) {
        free(text);
        return 0;
    }
    if (list->count == list->capacity) {
        list->capacity = list->capacity ? list->capacity * 2 : 16;
        list->names = realloc(list->names, list->capacity * sizeof *list->names);
        if (!list->names)
            return -1;
    }
    list->names[list->count++] = text;
    return 0;
}

static void delete_entry(ntfs_volume* volume, const char* path)
{
    ntfs_inode* inode = ntfs_pathname_to_inode(volume, NULL, path);
    if (!inode)
        fail("no such entry", path);
    int is_folder = (inode->mrec->flags & MFT_RECORD_IS_DIRECTORY) != 0;
    if (is_folder) {
        /* children go first, as Windows does it, so their records stay behind pointing at the folder */
        struct name_list children = {NULL, 0, 0};
        s64 position = 0;
        if (ntfs_readdir(inode, &position, &children, collect_child))
            fail("list folder", path);
        if (ntfs_inode_close(inode))
            fail("close", path);
        for (size_t i = 0; i < children.count; ++i) {
            size_t length = strlen(path) + strlen(children.names[i]) + 2;
            char* child = malloc(length);
            snprintf(child, length, "%s/%s", path, children.names[i]);
            delete_entry(volume, child);
            free(child);
            free(children.names[i]);
        }
        free(children.names);
        inode = ntfs_pathname_to_inode(volume, NULL, path);
        if (!inode)
            fail("reopen", path);
    }
    struct split_path split = open_parent(volume, path);
    /* ntfs_delete closes both inodes, whatever it returns */
    if (ntfs_delete(volume, path, inode, split.parent, split.name, (u8)split.name_length))
        fail("delete", path);
    free(split.name);
}

/* Zeros keep the raw disk sparse while the clusters still count as used. */
static void fill_volume(ntfs_volume* volume, const char* path)
{
    ntfs_inode* inode = create_entry(volume, path, S_IFREG);
    ntfs_attr* data = ntfs_attr_open(inode, AT_DATA, AT_UNNAMED, 0);
    if (!data)
        fail("open $DATA of", path);
    static char zeros[1 << 20];
    /* big steps first (growing a file one cluster at a time is slow), down to single clusters at the end */
    s64 position = 0;
    for (s64 chunk = sizeof zeros; chunk >= (s64)volume->cluster_size;) {
        s64 written = ntfs_attr_pwrite(data, position, chunk, zeros);
        if (written > 0)
            position += written;
        if (written != chunk) {
            if (errno != ENOSPC)
                fail("fill", path);
            chunk /= 2;
        }
    }
    /* a failed extension may leave the size past what was written */
    if (ntfs_attr_truncate(data, position))
        fail("trim", path);
    ntfs_attr_close(data);
    if (ntfs_inode_close(inode))
        fail("close", path);
}

static void trim_file(ntfs_volume* volume, const char* path, long long bytes)
{
    ntfs_inode* inode = ntfs_pathname_to_inode(volume, NULL, path);
    if (!inode)
        fail("no such entry", path);
    ntfs_attr* data = ntfs_attr_open(inode, AT_DATA, AT_UNNAMED, 0);
    if (!data || bytes > data->data_size || ntfs_attr_truncate(data, data->data_size - bytes))
        fail("trim", path);
    ntfs_attr_close(data);
    if (ntfs_inode_close(inode))
        fail("close", path);
}

static void set_dos_name(ntfs_volume* volume, const char* path, const char* short_name)
{
    ntfs_inode* inode = ntfs_pathname_to_inode(volume, NULL, path);
    if (!inode)
        fail("no such entry", path);
    struct split_path split = open_parent(volume, path);
    free(split.name);
    /* closes both inodes, like ntfs_delete */
    if (ntfs_set_ntfs_dos_name(inode, split.parent, short_name, strlen(short_name), 0))
        fail("set DOS name of", path);
}

/* Splits LINE at TABs in place; returns the field count. */
static int split_fields(char* line, char** fields, int max_fields)
{
    int count = 0;
    char* cursor = line;
    while (count < max_fields) {
        fields[count++] = cursor;
        char* tab = strchr(cursor, '\t');
        if (!tab)
            break;
        *tab = '\0';
        cursor = tab + 1;
    }
    return count;
}

static int command_apply(const char* volume_path, const char* script_path)
{
    g_script_name = script_path;
    FILE* script = fopen(script_path, "r");
    if (!script)
        fail("open script", script_path);
    ntfs_volume* volume = ntfs_mount(volume_path, NTFS_MNT_NONE);
    if (!volume)
        fail("mount", volume_path);

    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, script)) >= 0) {
        ++g_line_number;
        if (length > 0 && line[length - 1] == '\n')
            line[--length] = '\0';
        if (length == 0 || line[0] == '#')
            continue;
        char* field[6];
        int count = split_fields(line, field, 6);
        const char* op = field[0];
        if (!strcmp(op, "mkdir") && count == 2) {
            ntfs_inode* inode = create_entry(volume, field[1], S_IFDIR);
            if (ntfs_inode_close(inode))
                fail("close", field[1]);
        } else if (!strcmp(op, "put") && count == 3) {
            ntfs_inode* inode = create_entry(volume, field[1], S_IFREG);
            write_slice(inode, field[1], field[2], 0, -1);
            if (ntfs_inode_close(inode))
                fail("close", field[1]);
        } else if (!strcmp(op, "write") && count == 5) {
            ntfs_inode* inode = ntfs_pathname_to_inode(volume, NULL, field[1]);
            if (!inode)
                inode = create_entry(volume, field[1], S_IFREG);
            write_slice(inode, field[1], field[2], parse_number(field[3]), parse_number(field[4]));
            if (ntfs_inode_close(inode))
                fail("close", field[1]);
        } else if (!strcmp(op, "dosname") && count == 3) {
            set_dos_name(volume, field[1], field[2]);
        } else if (!strcmp(op, "fill") && count == 2) {
            fill_volume(volume, field[1]);
        } else if (!strcmp(op, "trim") && count == 3) {
            trim_file(volume, field[1], parse_number(field[2]));
        } else if (!strcmp(op, "delete") && count == 2) {
            delete_entry(volume, field[1]);
        } else {
            errno = 0;
            fail("unknown operation or wrong field count", op);
        }
    }
    free(line);
    fclose(script);
    if (ntfs_umount(volume, FALSE))
        fail("unmount", volume_path);
    return 0;
}

int main(int argc, char** argv)
{
    /* names in scripts are UTF-8 whatever the caller's locale */
    if (!setlocale(LC_ALL, "C.UTF-8"))
        setlocale(LC_ALL, "");
    if (argc == 4 && !strcmp(argv[1], "gen"))
        return command_gen(argv[2], argv[3]);
    if (argc == 4 && !strcmp(argv[1], "apply"))
        return command_apply(argv[2], argv[3]);
    fprintf(stderr, "usage: ntfs_tool gen SEED SIZE | ntfs_tool apply VOLUME SCRIPT\n");
    return 2;
}
