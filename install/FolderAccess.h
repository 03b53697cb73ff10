#pragma once

#include <juce_core/juce_core.h>
#include <optional>

/** What the file system lets this process do in a folder, asked the platform's way. */
namespace qv::platform
{
    /** True when this process may create entries in `folder`, or, when it does not exist yet, in
        its nearest existing parent. */
    bool canCreateEntriesIn (const juce::File& folder);

    /** The bytes this process may still write on the volume that holds `folder` (or its nearest
        existing parent), or nothing when the system cannot say. */
    std::optional<juce::int64> bytesFreeFor (const juce::File& folder);
}

namespace qv
{
    /** `folder` itself or, when it does not exist, its nearest parent that does. */
    juce::File nearestExistingFolder (const juce::File& folder);
}
