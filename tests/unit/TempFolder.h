#pragma once

#include <juce_core/juce_core.h>

/** A fresh, empty folder for one test, removed with everything in it afterwards. */
struct TempFolder
{
    TempFolder()
    {
        folder.createDirectory();
    }

    ~TempFolder()
    {
        folder.deleteRecursively (false);
    }

    juce::File operator/ (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

    // Test processes run in parallel: a name unique to this process and moment keeps two of them
    // from picking (and later deleting) the same folder.
    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getChildFile ("qv_test_" + juce::String (juce::Time::getHighResolutionTicks())
                                                 + "_" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
};
