#include "EntryNameRules.h"
#include "install/ArchiveExtraction.h"

namespace qv::resourcecheck
{
    juce::StringArray checkEntryName (const juce::String& name, const juce::String& bundleName, bool bundleIsFile)
    {
        juce::StringArray problems;

        // The installer's own rule: what it would refuse to extract is refused here, before embedding.
        if (const auto refused = qv::problemWithEntryName (name, bundleName); refused.isNotEmpty())
            problems.add (refused);

        if (name.isEmpty())
            return problems;

        // The bundle's shape, which the installer's rule leaves to the archive: a single file (CLAP)
        // is the whole name; a folder (VST3, AAX) is followed by a backslash.
        const auto expected = bundleIsFile ? bundleName : bundleName + "\\";
        const auto matches = bundleIsFile ? name == bundleName : name.startsWith (expected);

        if (! matches)
        {
            const auto caseOnly = bundleIsFile ? name.equalsIgnoreCase (bundleName)
                                               : name.startsWithIgnoreCase (expected);
            const auto rule = bundleIsFile ? "is not named \"" + bundleName + "\""
                                           : "does not begin with \"" + expected + "\"";
            problems.add ("entry \"" + name + "\" " + rule + (caseOnly ? " (the case differs)" : ""));
        }

        return problems;
    }
}
