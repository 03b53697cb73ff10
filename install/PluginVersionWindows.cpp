#include "PluginVersion.h"

namespace qv::platform
{
// Windows keeps versions in the modules' version resources; a bundle folder has none, so the
// folder formats are read at their inner module.
juce::String pluginVersionOf (const juce::File& bundle, int formatIndex)
{
    const auto bundleName = bundle.getFileName();

    switch (formatIndex)
    {
        case 0:  return bundle.getChildFile ("Contents/x86_64-win/" + bundleName).getVersion();
        case 2:  return bundle.getChildFile ("Contents/x64/" + bundleName).getVersion();
        default: return bundle.getVersion();
    }
}
}
