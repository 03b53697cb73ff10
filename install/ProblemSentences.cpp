#include "ProblemSentences.h"
#include "catalogue/Catalogue.h"
#include "catalogue/PlatformFolders.h"

namespace qv
{
    const char* const nothingSelectedSentence = "Select a format first.";
    const char* const otherRunBusySentence = "Another installer run is busy with these folders. Wait for it to end, then try again.";

    juce::String joinedNames (const juce::StringArray& names)
    {
        if (names.size() <= 1)
            return names.joinIntoString ({});

        juce::StringArray firsts (names);
        firsts.removeRange (names.size() - 1, 1);
        return firsts.joinIntoString (", ") + " and " + names[names.size() - 1];
    }

    juce::String shortenPathInMiddle (const juce::String& path, int maxLength)
    {
        const juce::String ellipsis (juce::CharPointer_UTF8 ("\xe2\x80\xa6"));

        if (path.length() <= maxLength)
            return path;

        const auto kept = juce::jmax (2, maxLength - 1);
        const auto tail = kept / 2 + kept % 2;
        return path.substring (0, kept - tail) + ellipsis + path.substring (path.length() - tail);
    }

    // Needed space is rounded up and free space down, so that the figures never promise too much.
    static juce::String sizeText (juce::int64 bytes, bool roundUp)
    {
        const auto inUnits = [&] (juce::int64 unit) { return juce::String ((bytes + (roundUp ? unit - 1 : 0)) / unit); };
        constexpr juce::int64 megabyte = 1024 * 1024;

        return bytes < megabyte ? inUnits (1024) + " KB" : inUnits (megabyte) + " MB";
    }

    juce::String problemSentence (const juce::String& formats, const Problem& problem, bool uninstall, int maxPathLength)
    {
        const auto path = shortenPathInMiddle (problem.place.getFullPathName(), maxPathLength);
        const auto dash = juce::String (juce::CharPointer_UTF8 (" \xe2\x80\x94 "));

        switch (problem.kind)
        {
            case Problem::Kind::none:
                return {};
            case Problem::Kind::noPermission:
                return formats + ": no permission to write " + path + ". " + platform::howToGetWriteAccess();
            case Problem::Kind::notEnoughSpace:
                return formats + " needs " + sizeText (problem.bytesNeeded, true) + ", only " + sizeText (problem.bytesFree, false)
                    + " is free at " + path + ". Free some space and try again.";
            case Problem::Kind::inUse:
                return formats + " is in use by " + joinedNames (problem.programs) + dash + "close "
                    + (problem.programs.size() > 1 ? "them" : "it") + (uninstall ? " and try again." : " and press INSTALL again.");
            case Problem::Kind::folderNotCreated:
                return formats + ": can't create the folder " + path + ". Check the path in the settings file.";
            case Problem::Kind::oldBundleNotRemoved:
                return formats + ": the old version at " + path + " can't be removed. Close your hosts and try again.";
            case Problem::Kind::damagedArchive:
                return formats + ": this installer's copy of the plug-in is damaged. Download it again.";
            case Problem::Kind::notWritten:
                return formats + ": writing to " + path + " failed. Check the disk and try again.";
        }

        return {};
    }

    // The place several formats' problems share: their one place, or the folder they all lie in,
    // else the first one's.
    static juce::File sharedPlace (const juce::Array<juce::File>& places)
    {
        const auto first = places.getFirst();
        bool allSame = true, sameParent = true;

        for (const auto& place : places)
        {
            allSame = allSame && place == first;
            sameParent = sameParent && place.getParentDirectory() == first.getParentDirectory();
        }

        return allSame || ! sameParent ? first : first.getParentDirectory();
    }

    juce::String runSentence (const RunOutcome& outcome, bool uninstall, int maxPathLength)
    {
        if (outcome.otherRunBusy)
            return otherRunBusySentence;

        if (std::find (outcome.processed.begin(), outcome.processed.end(), true) == outcome.processed.end())
            return nothingSelectedSentence;

        int first = -1;
        juce::StringArray sameFormats;
        juce::Array<juce::File> samePlaces;

        for (int i = 0; i < numFormats; ++i)
        {
            const auto& problem = outcome.problems[(size_t) i];

            if (! problem.failed())
                continue;

            if (first < 0)
                first = i;

            const auto& firstProblem = outcome.problems[(size_t) first];

            if (problem.kind == firstProblem.kind && problem.programs == firstProblem.programs)
            {
                sameFormats.add (formatNames[i]);
                samePlaces.add (problem.place);
            }
        }

        if (first >= 0)
        {
            auto problem = outcome.problems[(size_t) first];

            if (sameFormats.size() > 1)
                problem.place = sharedPlace (samePlaces);

            return problemSentence (joinedNames (sameFormats), problem, uninstall, maxPathLength);
        }

        juce::StringArray programs, formats;

        for (int i = 0; i < numFormats; ++i)
        {
            if (outcome.stillRunningOld[(size_t) i].isEmpty())
                continue;

            formats.add (formatNames[i]);

            for (const auto& program : outcome.stillRunningOld[(size_t) i])
                programs.addIfNotAlreadyThere (program);
        }

        if (programs.isEmpty())
            return {};

        const auto who = joinedNames (programs);
        const auto one = programs.size() == 1;

        if (uninstall)
            return "Removed. " + who + (one ? " keeps" : " keep") + " the old " + joinedNames (formats) + " loaded until restarted.";

        const auto restart = one ? "; restart it" : "; restart them";
        return "Installed. " + who + (one ? " still runs" : " still run") + " the old " + joinedNames (formats) + restart + " to load the new version.";
    }
}
