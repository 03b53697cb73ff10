#pragma once

#include <juce_core/juce_core.h>

namespace qv::resourcecheck
{
    /** What one format's archive must look like. */
    struct ArchiveRules
    {
        /** The bundle every entry name begins with, e.g. "Varnoly.vst3". */
        juce::String bundleName;

        /** True when the bundle is one file (CLAP): the single entry is then the bundle name itself. */
        bool bundleIsFile = false;

        /** Entries that are Windows modules and must carry moduleVersion as their file version. */
        juce::StringArray versionedModules;
        juce::String moduleVersion;
    };

    /** The rules for format "vst3", "clap" or "aax" of the named product on platform "windows" or
        "linux". Only the Windows VST3 and AAX modules carry a version resource. */
    ArchiveRules archiveRulesFor (const juce::String& format, const juce::String& productName,
                                  const juce::String& platform, const juce::String& moduleVersion);

    /** Problems with an archive's bytes: whether juce::ZipFile opens it with at least one entry, the
        entry names, symbolic links, damaged or unreadable entries and the module versions. Empty when
        the archive is sound. */
    juce::StringArray checkArchive (const juce::MemoryBlock& archive, const ArchiveRules& rules);
}
