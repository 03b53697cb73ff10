#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** The version of an existing bundle's plug-in, read the platform's way; empty when unreadable. */
    juce::String pluginVersionOf (const juce::File& bundle, const juce::String& productName, int formatIndex);
}
