#pragma once

#include <juce_core/juce_core.h>

/** Whether, and in which version, the product is installed in a format. Always asked afresh of
    the file system: another installer, the user or our own last run may have changed it. */
namespace qv
{
    /** The file system entry whose presence means the format is installed. */
    juce::File bundleFileFor (const juce::File& formatFolder, const juce::String& productName, int formatIndex);

    /** True when anything at all exists at the bundle path. */
    bool isFormatInstalled (const juce::File& formatFolder, const juce::String& productName, int formatIndex);

    /** The installed plug-in's version for display, or empty when not installed or unreadable. */
    juce::String installedVersionOf (const juce::File& formatFolder, const juce::String& productName, int formatIndex);

    /** The row's status text: "v1.0.4.0 INSTALLED", "INSTALLED" or "NOT INSTALLED". */
    juce::String statusText (bool installed, const juce::String& version);
}
