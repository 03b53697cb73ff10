#include "EntryNameRules.h"

namespace qv::resourcecheck
{
juce::StringArray checkEntryName (const juce::String& name, const juce::String& bundleName, bool bundleIsFile)
{
    juce::StringArray problems;
    const auto quoted = "entry \"" + name + "\"";

    if (name.isEmpty())
    {
        problems.add ("an entry has an empty name");
        return problems;
    }

    if (name.startsWithChar ('\\') || name.startsWithChar ('/'))
        problems.add (quoted + " is an absolute path");

    if (name.length() >= 2 && juce::CharacterFunctions::isLetter (name[0]) && name[1] == ':')
        problems.add (quoted + " begins with a drive letter");
    else if (name.containsChar (':'))
        problems.add (quoted + " contains ':', which Windows reads as a drive or a stream name");

    juce::StringArray parts;
    parts.addTokens (name.replaceCharacter ('/', '\\'), "\\", {});

    if (parts.contains (".."))
        problems.add (quoted + " climbs out of its folder with \"..\"");

    const auto expected = bundleIsFile ? bundleName : bundleName + "\\";
    const auto matches = bundleIsFile ? name == bundleName : name.startsWith (expected);

    if (! matches)
    {
        const auto caseOnly = bundleIsFile ? name.equalsIgnoreCase (bundleName)
                                           : name.startsWithIgnoreCase (expected);
        const auto rule = bundleIsFile ? "is not named \"" + bundleName + "\""
                                       : "does not begin with \"" + expected + "\"";
        problems.add (quoted + " " + rule + (caseOnly ? " (the case differs)" : ""));
    }

    return problems;
}
}
