#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** Renames `source` to `target` in one step, failing rather than replacing anything already at
        `target`. A link is moved as the link itself, never through it. Both must lie on the same
        volume; the engine only moves entries within one format folder. */
    juce::Result moveWithoutReplacing (const juce::File& source, const juce::File& target);
}
