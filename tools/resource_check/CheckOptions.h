#pragma once

#include "catalogue/Catalogue.h"

#include <juce_core/juce_core.h>
#include <utility>
#include <vector>

namespace qv::resourcecheck
{
    /** What to check, from the command line. */
    struct CheckOptions
    {
        juce::String platform;
        juce::String productName { qv::product::displayName (qv::product::storedName) };
        juce::String moduleVersion { qv::productfacts::moduleFileVersion };

        /** Format ("vst3", "clap", "aax") and archive file, in the order given. */
        std::vector<std::pair<juce::String, juce::File>> archives;
        juce::Array<juce::File> fonts;
        juce::Array<juce::File> icons;

        /** Icons, by file name without extension, that the program recolours. */
        juce::StringArray recoloured;

        /** Written when every check passes, removed otherwise; may be empty. */
        juce::File stamp;
    };

    /** The usage text printed for a command-line error. */
    juce::String checkUsage();

    /** Parses the arguments after the program name. */
    juce::Result parseCheckOptions (const juce::StringArray& arguments, CheckOptions& options);
}
