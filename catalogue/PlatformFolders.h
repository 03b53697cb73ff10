#pragma once

#include <juce_core/juce_core.h>
#include <array>

/** What differs between the platforms in where things live and who may write there. Each platform
    has its own source file. */
namespace qv::platform
{
    /** The parent of the three default format folders. */
    juce::File defaultPluginRoot();

    /** The default folder of each format below defaultPluginRoot(), by format index, as a relative path with "/". */
    juce::String defaultFormatFolderName (int formatIndex);

    /** The folder that holds the maker's folder (and so the settings file): the machine-wide
        application-data folder, or on Linux an ordinary account's own configuration folder.
        Empty when the system cannot name one. */
    juce::File makerFolderParent();

    /** The text after the version in the header, e.g. " for Windows". */
    juce::String platformSuffix();

    /** What a person does to get the right to write a folder the installer may not write, as a
        sentence for the screen. */
    juce::String howToGetWriteAccess();
}

namespace qv
{
    /** The default install folders by format index, built from the platform's root. */
    std::array<juce::File, 3> defaultFormatFolders();
}
