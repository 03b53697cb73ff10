/* Loads plug-in modules the way a Windows host does and reads their version resources the way the
   installer does (GetFileVersionInfo, VerQueryValue on the root block).

   Usage: module_probe.exe (vst3|clap|aax) PATH EXPECTED_FILE_VERSION ...
   EXPECTED_FILE_VERSION is "-" for a module without a version resource. The exit code is the number
   of modules that failed. */

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct
{
    unsigned major, minor, revision;
} ClapVersion;

typedef struct
{
    ClapVersion version;
    BOOLEAN (*init) (const char*);
    void (*deinit) (void);
    const void* (*getFactory) (const char*);
} ClapEntry;

static int fail (const char* format, const char* path, const char* reason)
{
    printf ("FAIL %s %s: %s\n", format, path, reason);
    return 1;
}

static int checkEntryPoints (const char* format, const char* path, HMODULE module)
{
    if (strcmp (format, "vst3") == 0)
    {
        BOOL (*initDll) (void) = (BOOL (*) (void)) (void*) GetProcAddress (module, "InitDll");
        BOOL (*exitDll) (void) = (BOOL (*) (void)) (void*) GetProcAddress (module, "ExitDll");

        if (initDll == NULL || exitDll == NULL || GetProcAddress (module, "GetPluginFactory") == NULL)
            return fail (format, path, "missing VST 3 entry point");
        if (! (initDll() & 0xff) || ! (exitDll() & 0xff))
            return fail (format, path, "InitDll or ExitDll reported failure");
        return 0;
    }

    if (strcmp (format, "clap") == 0)
    {
        const ClapEntry* entry = (const ClapEntry*) (void*) GetProcAddress (module, "clap_entry");

        if (entry == NULL)
            return fail (format, path, "missing clap_entry");
        if (entry->version.major != 1 || entry->init == NULL || entry->deinit == NULL || entry->getFactory == NULL)
            return fail (format, path, "clap_entry is not a CLAP 1.x entry");
        if (! entry->init (path))
            return fail (format, path, "clap_entry.init failed");
        entry->getFactory ("clap.plugin-factory");
        entry->deinit();
        return 0;
    }

    static const char* const aaxNames[] = { "ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory",
                                            "ACFCanUnloadNow", "ACFStartup", "ACFShutdown", "ACFGetSDKVersion" };

    for (size_t i = 0; i < sizeof (aaxNames) / sizeof (aaxNames[0]); ++i)
        if (GetProcAddress (module, aaxNames[i]) == NULL)
            return fail (format, path, aaxNames[i]);

    return 0;
}

static int checkVersion (const char* format, const char* path, const char* expected)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA (path, &handle);
    char actual[64] = "-";

    if (size > 0)
    {
        void* buffer = malloc (size);
        VS_FIXEDFILEINFO* info = NULL;
        UINT length = 0;

        if (buffer != NULL && GetFileVersionInfoA (path, 0, size, buffer)
            && VerQueryValueA (buffer, "\\", (void**) &info, &length) && info != NULL)
        {
            snprintf (actual, sizeof (actual), "%u.%u.%u.%u",
                      (unsigned) HIWORD (info->dwFileVersionMS), (unsigned) LOWORD (info->dwFileVersionMS),
                      (unsigned) HIWORD (info->dwFileVersionLS), (unsigned) LOWORD (info->dwFileVersionLS));
        }

        free (buffer);
    }

    if (strcmp (actual, expected) != 0)
    {
        char reason[160];
        snprintf (reason, sizeof (reason), "file version %s, expected %s", actual, expected);
        return fail (format, path, reason);
    }

    return 0;
}

int main (int argc, char** argv)
{
    int failures = 0;

    if (argc < 4 || (argc - 1) % 3 != 0)
    {
        fprintf (stderr, "usage: module_probe.exe (vst3|clap|aax) PATH VERSION ...\n");
        return 100;
    }

    for (int i = 1; i + 2 < argc; i += 3)
    {
        const char* format = argv[i];
        const char* path = argv[i + 1];
        HMODULE module = LoadLibraryA (path);

        if (module == NULL)
        {
            char reason[64];
            snprintf (reason, sizeof (reason), "LoadLibrary failed with error %lu", (unsigned long) GetLastError());
            failures += fail (format, path, reason);
            continue;
        }

        int failed = checkEntryPoints (format, path, module) + checkVersion (format, path, argv[i + 2]);
        FreeLibrary (module);

        if (failed == 0)
            printf ("ok %s %s\n", format, path);

        failures += failed != 0;
    }

    return failures;
}
