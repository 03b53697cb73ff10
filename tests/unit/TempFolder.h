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

    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getNonexistentChildFile ("qv_test_", {}, false);
};
