#pragma once

#include <juce_core/juce_core.h>
#include <array>

/** What differs between the platforms in where things live. Each platform has its own source file. */
namespace qv::platform
{
    /** The parent of the three default format folders. */
    juce::File defaultPluginRoot();

    /** The default folder of each format below defaultPluginRoot(), by format index, as a relative path with "/". */
    juce::String defaultFormatFolderName (int formatIndex);

    /** The machine-wide application-data folder, or an empty File when the system cannot name one. */
    juce::File commonApplicationDataFolder();

    /** The text after the version in the header, e.g. " for Windows". */
    juce::String platformSuffix();
}

namespace qv
{
    /** The default install folders by format index, built from the platform's root. */
    std::array<juce::File, 3> defaultFormatFolders();
}
