/* Loads a CLAP file the way a CLAP host starts to: dlopen, look up clap_entry, check its CLAP
   version, init with the file's path, deinit. Debian 12 carries no CLAP host, so this stands in for
   the first step of one.

   Usage: qv_clap_entry_check FILE.clap
   Prints "clap_entry: CLAP <major>.<minor>.<revision>" and exits 0, or says why and exits 1. The
   file is loaded in a child process, as hosts scan: a truncated module can kill the loader itself
   (SIGBUS when ld.so maps a segment past the end of the file). */

#define _POSIX_C_SOURCE 200809L

#include <dlfcn.h>
#include <signal.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

/* The leading fields of clap_plugin_entry_t (clap/entry.h, CLAP 1.x ABI). */
typedef struct
{
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
} clap_version_fields;

typedef struct
{
    clap_version_fields clap_version;
    bool (*init) (const char* plugin_path);
    void (*deinit) (void);
    const void* (*get_factory) (const char* factory_id);
} clap_entry_fields;

static int check (const char* path)
{
    void* module = dlopen (path, RTLD_NOW | RTLD_LOCAL);
    if (module == NULL)
    {
        fprintf (stderr, "cannot load %s: %s\n", path, dlerror());
        return 1;
    }

    const clap_entry_fields* entry = (const clap_entry_fields*) dlsym (module, "clap_entry");
    if (entry == NULL)
    {
        fprintf (stderr, "%s exports no clap_entry\n", path);
        return 1;
    }

    /* Hosts accept any 1.x entry; 0.x was the unstable draft ABI. */
    const clap_version_fields version = entry->clap_version;
    if (version.major < 1 || entry->init == NULL || entry->deinit == NULL || entry->get_factory == NULL)
    {
        fprintf (stderr, "%s: clap_entry is not a CLAP 1.x entry (version %u.%u.%u)\n", path,
                 version.major, version.minor, version.revision);
        return 1;
    }

    if (! entry->init (path))
    {
        fprintf (stderr, "%s: clap_entry.init failed\n", path);
        return 1;
    }
    entry->deinit();

    printf ("clap_entry: CLAP %u.%u.%u\n", version.major, version.minor, version.revision);
    return 0;
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf (stderr, "usage: %s FILE.clap\n", argv[0]);
        return 1;
    }

    fflush (stdout);
    const pid_t child = fork();
    if (child < 0)
    {
        perror ("fork");
        return 1;
    }
    if (child == 0)
    {
        const int result = check (argv[1]);
        fflush (stdout);
        fflush (stderr);
        _exit (result);
    }

    int status = 0;
    if (waitpid (child, &status, 0) != child)
    {
        perror ("waitpid");
        return 1;
    }
    if (WIFSIGNALED (status))
    {
        fprintf (stderr, "cannot load %s: the loader died of signal %d (%s)\n", argv[1], WTERMSIG (status),
                 strsignal (WTERMSIG (status)));
        return 1;
    }
    return WIFEXITED (status) ? WEXITSTATUS (status) : 1;
}
