#pragma once

#include <juce_core/juce_core.h>

namespace qv::resourcecheck
{
    /** Problems with one archive entry name, given the bundle name every entry must begin with.
        A bundle that is a single file (CLAP) must be the whole name; a bundle folder (VST3, AAX) must
        be followed by a backslash. Case counts: the installed-state test looks for the exact name.
        Empty when the name is sound. */
    juce::StringArray checkEntryName (const juce::String& name, const juce::String& bundleName, bool bundleIsFile);
}
