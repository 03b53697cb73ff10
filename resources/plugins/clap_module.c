/* Stand-in CLAP module. clap_entry mirrors the layout of clap_plugin_entry_t so that a host reads
   a valid version and finds no factories. */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "plugin_export.h"

typedef struct
{
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
} qv_clap_version;

typedef struct
{
    qv_clap_version clap_version;
    bool (*init) (const char* plugin_path);
    void (*deinit) (void);
    const void* (*get_factory) (const char* factory_id);
} qv_clap_plugin_entry;

static bool entryInit (const char* pluginPath)
{
    (void) pluginPath;
    return true;
}

static void entryDeinit (void)
{
}

static const void* entryGetFactory (const char* factoryId)
{
    (void) factoryId;
    return NULL;
}

QV_EXPORT const qv_clap_plugin_entry clap_entry = { { 1, 2, 0 }, entryInit, entryDeinit, entryGetFactory };
