#pragma once

#include <juce_core/juce_core.h>
#include <array>

namespace qv
{
    /** What a platform's installed bundle of a format holds, by format index, as catalogue/formats.json
        states it for the build and the program alike. "{name}" in a path stands for the bundle's name without its
        extension (the product's displayed name). */
    struct FormatFacts
    {
        const char* name;          // "VST3"
        const char* extension;     // ".vst3"
        bool bundleIsFolder;       // else the bundle is the module file itself
        const char* windowsModule; // the module inside the bundle on Windows ("" for the bundle itself)
        const char* linuxModule;   // the same on Linux
        bool windowsModuleHasVersion;
        const char* linuxVersionFile; // where a Linux bundle states its version (JSON "Version"), or ""
    };

    extern const std::array<FormatFacts, 3> formatTable;

    /** The module's path inside the bundle ("Contents/x86_64-win/Varnoly.vst3"), or "" when the
        bundle is the module itself. */
    juce::String modulePathInBundle (int formatIndex, bool windows, const juce::String& productName);
}
