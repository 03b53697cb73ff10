/* Stand-in VST 3 module: the entry points a host resolves when it scans a .vst3 bundle.
   It offers no factory, so a host loads it cleanly and finds no classes to instantiate. */

#include <stdbool.h>
#include <stddef.h>

#include "plugin_export.h"

QV_EXPORT void* GetPluginFactory (void)
{
    return NULL;
}

#if defined(_WIN32)

QV_EXPORT bool InitDll (void)
{
    return true;
}

QV_EXPORT bool ExitDll (void)
{
    return true;
}

#else

QV_EXPORT bool ModuleEntry (void* sharedLibraryHandle)
{
    (void) sharedLibraryHandle;
    return true;
}

QV_EXPORT bool ModuleExit (void)
{
    return true;
}

#endif
