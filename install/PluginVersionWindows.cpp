#include "PluginVersion.h"
#include "catalogue/FormatTable.h"

namespace qv::platform
{
    // Windows keeps versions in the modules' version resources; a bundle folder has none, so the
    // folder formats are read at their inner module.
    juce::String pluginVersionOf (const juce::File& bundle, int formatIndex)
    {
        const auto module = modulePathInBundle (formatIndex, true, bundle.getFileNameWithoutExtension());
        return (module.isEmpty() ? bundle : bundle.getChildFile (module)).getVersion();
    }
}
