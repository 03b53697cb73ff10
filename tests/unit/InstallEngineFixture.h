#pragma once

#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "ZipFixture.h"
#include "install/InstallEngine.h"
#include "install/InstalledState.h"
#include <gtest/gtest.h>
#include <ostream>

namespace juce
{
    /** Failed comparisons of name lists print the names (found by gtest through the argument's namespace). */
    inline void PrintTo (const StringArray& names, std::ostream* out)
    {
        *out << "{ " << names.joinIntoString (", ") << " }";
    }
}

/** Three format folders in a temporary folder, and small archives laid out like the real ones:
    backslash separators, the Contents folder as the only folder entry. */
struct InstallEngineTest : ::testing::Test
{
    TempFolder temp;
    const std::array<juce::File, 3> folders { temp / "plugins/vst3", temp / "plugins/clap", temp / "plugins/aax" };

    // What each format's new bundle holds, by path inside the bundle ("" for the CLAP file itself).
    const std::array<TreeContents, 3> newContents {
        TreeContents { { "desktop.ini", "[.ShellClassInfo]\r\nIconFile=Plugin.ico\r\n" },
                       { "Contents/Resources/moduleinfo.json", "{ \"Version\": \"2.0.0\", }" },
                       { "Contents/x86_64-win/Varnoly.vst3", "new VST3 module " + juce::String::repeatedString ("v", 5000) } },
        TreeContents { { "", "new CLAP module " + juce::String::repeatedString ("c", 5000) } },
        TreeContents { { "Contents/x64/Varnoly.aaxplugin", "new AAX module " + juce::String::repeatedString ("a", 5000) } }
    };

    // An older version that holds a file the new one no longer has.
    const std::array<TreeContents, 3> oldContents {
        TreeContents { { "Contents/x86_64-win/Varnoly.vst3", "old VST3 module" },
                       { "Contents/Resources/moduleinfo.json", "{ \"Version\": \"1.0.0\" }" },
                       { "Contents/Resources/old-only.txt", "dropped in the new version" } },
        TreeContents { { "", "old CLAP module" } },
        TreeContents { { "Contents/x64/Varnoly.aaxplugin", "old AAX module" },
                       { "Contents/old-only.txt", "dropped in the new version" } }
    };

    const std::array<juce::MemoryBlock, 3> archives { archiveFor (0, newContents[0]),
                                                      archiveFor (1, newContents[1]),
                                                      archiveFor (2, newContents[2]) };

    static juce::String bundleName (int format)
    {
        return qv::bundleFileFor (juce::File(), "Varnoly", format).getFileName();
    }

    /** Archive entries for a bundle, named the way the real archives name them. */
    static std::vector<testzip::Entry> entriesFor (int format, const TreeContents& contents)
    {
        std::vector<testzip::Entry> entries;

        if (format != 1)
            entries.push_back ({ bundleName (format) + "\\Contents\\", {} });

        for (const auto& [path, content] : contents)
            entries.push_back ({ path.isEmpty() ? bundleName (format) : bundleName (format) + "\\" + path.replaceCharacter ('/', '\\'),
                                 testzip::bytes (content) });

        return entries;
    }

    static juce::MemoryBlock archiveFor (int format, const TreeContents& contents)
    {
        return testzip::build (entriesFor (format, contents));
    }

    juce::File bundle (int format) const
    {
        return qv::bundleFileFor (folders[(size_t) format], "Varnoly", format);
    }

    /** Writes a bundle with these contents at `where` (a file for CLAP, else a folder). */
    static void makeBundle (const juce::File& where, const TreeContents& contents)
    {
        for (const auto& [path, content] : contents)
            writeFile (path.isEmpty() ? where : where.getChildFile (path), content);
    }

    /** The snapshot a bundle with these contents has, made in a folder of its own. */
    TreeSnapshot snapshotOfBundle (int format, const TreeContents& contents) const
    {
        const auto where = (temp / "reference").getNonexistentChildFile ("r", "", false).getChildFile (bundleName (format));
        makeBundle (where, contents);

        if (format != 1)
            where.getChildFile ("Contents").createDirectory();

        auto snapshot = snapshotOf (where);
        where.getParentDirectory().deleteRecursively();
        return snapshot;
    }

    qv::RunRequest request (std::array<bool, 3> selected, bool uninstall = false) const
    {
        return { folders, "Varnoly", selected, uninstall, { testzip::archiveOf (archives[0]), testzip::archiveOf (archives[1]), testzip::archiveOf (archives[2]) } };
    }

    /** The names in a folder, sorted; empty when the folder is missing. */
    static juce::StringArray namesIn (const juce::File& folder)
    {
        juce::StringArray names;

        for (const auto& child : folder.findChildFiles (juce::File::findFilesAndDirectories, false))
            names.add (child.getFileName());

        names.sort (false);
        return names;
    }
};
