#pragma once

#include <juce_core/juce_core.h>
#include <array>

/** The settings file that all of the maker's installers share: it names each format's folder. */
namespace qv
{
    /** The maker's folder below the machine-wide application-data folder. */
    juce::File settingsFolderUnder (const juce::File& commonApplicationData);

    /** The settings file inside the maker's folder. */
    juce::File settingsFileIn (const juce::File& settingsFolder);

    /** Reads the settings file in `settingsFolder` and returns the folders it names (creating
        missing ones), or, when there is no such file, writes one holding `defaults` and returns
        them. Never rewrites a file it has read. */
    std::array<juce::File, 3> readOrWriteSettings (const juce::File& settingsFolder,
                                                   const std::array<juce::File, 3>& defaults);
}
