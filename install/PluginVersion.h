#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** The version of a bundle's plug-in, read the platform's way; empty when there is no bundle or
        it cannot be read. */
    juce::String pluginVersionOf (const juce::File& bundle, int formatIndex);
}
