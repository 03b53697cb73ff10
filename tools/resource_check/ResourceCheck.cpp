#include "ResourceCheck.h"
#include "ArchiveCheck.h"
#include "FontProbe.h"
#include "IconCheck.h"

namespace qv::resourcecheck
{
    namespace
    {
        void addProblems (juce::StringArray& lines, const juce::File& resource, const juce::StringArray& problems)
        {
            for (auto& problem : problems)
                lines.add (resource.getFullPathName() + ": " + problem);
        }

        bool readResource (const juce::File& resource, juce::MemoryBlock& bytes, juce::StringArray& lines)
        {
            if (! resource.existsAsFile())
            {
                lines.add (resource.getFullPathName() + ": does not exist");
                return false;
            }

            if (! resource.loadFileAsData (bytes))
            {
                lines.add (resource.getFullPathName() + ": cannot be read");
                return false;
            }

            return true;
        }
    }

    juce::StringArray runResourceCheck (const CheckOptions& options)
    {
        juce::StringArray lines;
        juce::StringArray iconNames;

        for (auto& icon : options.icons)
            iconNames.add (icon.getFileNameWithoutExtension());

        // A misspelt name would silently exempt the icon it meant.
        for (auto& name : options.recoloured)
            if (! iconNames.contains (name))
                lines.add ("--recoloured " + name + ": no icon of that name was given");

        for (auto& icon : options.icons)
        {
            juce::MemoryBlock bytes;

            if (readResource (icon, bytes, lines))
                addProblems (lines, icon, checkIcon (bytes, options.recoloured.contains (icon.getFileNameWithoutExtension())));
        }

        for (auto& font : options.fonts)
        {
            if (font.existsAsFile())
                addProblems (lines, font, probeFont (font));
            else
                lines.add (font.getFullPathName() + ": does not exist");
        }

        for (auto& [format, archive] : options.archives)
        {
            juce::MemoryBlock bytes;

            if (readResource (archive, bytes, lines))
            {
                const auto rules = archiveRulesFor (format, options.productName, options.platform, options.moduleVersion);
                addProblems (lines, archive, checkArchive (bytes, rules));
            }
        }

        return lines;
    }
}
