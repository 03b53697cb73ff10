#include "PluginVersion.h"

namespace qv::platform
{
// Linux modules carry no version resource. The VST3 bundle describes itself in moduleinfo.json;
// CLAP and AAX have nothing comparable, so they show no version.
juce::String pluginVersionOf (const juce::File& bundle, const juce::String&, int formatIndex)
{
    if (formatIndex != 0)
        return {};

    const auto info = juce::JSON::parse (bundle.getChildFile ("Contents/Resources/moduleinfo.json"));
    return info.getProperty ("Version", {}).toString();
}
}
