/* Export and calling-convention macros shared by the stand-in plug-in modules. */
#ifndef QV_PLUGIN_EXPORT_H
#define QV_PLUGIN_EXPORT_H

#if defined(_WIN32)
#define QV_EXPORT __declspec(dllexport)
#else
#define QV_EXPORT __attribute__ ((visibility ("default")))
#endif

#endif
