/* Stand-in AAX module: the ACF entry points a host resolves. Registration reports "not
   implemented", so a host skips the module instead of describing plug-ins that do not exist. */

#include <stddef.h>
#include <stdint.h>

#include "plugin_export.h"

typedef int32_t acfResult;

enum
{
    acfOk = 0,
    acfNotImplemented = (int32_t) 0x80004001u,
    acfClassNotRegistered = (int32_t) 0x80040154u
};

QV_EXPORT acfResult ACFRegisterPlugin (void* host, void** pluginDefinition)
{
    (void) host;

    if (pluginDefinition != NULL)
        *pluginDefinition = NULL;

    return acfNotImplemented;
}

QV_EXPORT acfResult ACFRegisterComponent (void* host, uint32_t index, void** componentDefinition)
{
    (void) host;
    (void) index;

    if (componentDefinition != NULL)
        *componentDefinition = NULL;

    return acfNotImplemented;
}

QV_EXPORT acfResult ACFGetClassFactory (void* host, const void* classId, const void* interfaceId, void** factory)
{
    (void) host;
    (void) classId;
    (void) interfaceId;

    if (factory != NULL)
        *factory = NULL;

    return acfClassNotRegistered;
}

QV_EXPORT acfResult ACFCanUnloadNow (void* host)
{
    (void) host;
    return acfOk;
}

QV_EXPORT acfResult ACFStartup (void* host)
{
    (void) host;
    return acfOk;
}

QV_EXPORT acfResult ACFShutdown (void* host)
{
    (void) host;
    return acfOk;
}

QV_EXPORT acfResult ACFGetSDKVersion (uint64_t* sdkVersion)
{
    if (sdkVersion == NULL)
        return acfNotImplemented;

    *sdkVersion = 0;
    return acfOk;
}
