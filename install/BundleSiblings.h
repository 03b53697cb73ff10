#pragma once

#include <juce_core/juce_core.h>

namespace qv
{
    /** The entries the engine keeps beside a bundle while it replaces or removes it. They live in
        the same folder, so that every step from one to the other is a single rename, and their
        names never end in a plug-in extension, so that no host and no installed test takes them
        for the bundle.

        - staging:  the folder the archive is extracted into; may hold a partial bundle.
        - previous: the former bundle during an update; always a complete bundle.
        - removing: whatever is being deleted; never restored.
    */
    struct BundleSiblings
    {
        juce::File staging, previous, removing;
    };

    BundleSiblings siblingsOf (const juce::File& bundle);

    /** True when anything is at `f`, including a link whose target is missing. */
    bool existsAtAll (const juce::File& f);

    /** Deletes whatever is at `f`, a link as the link itself; ok when nothing was there. */
    juce::Result removeEntirely (const juce::File& f);
}
