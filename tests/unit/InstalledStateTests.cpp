#include "RealArchives.h"
#include "TempFolder.h"
#include "install/BundleSiblings.h"
#include "install/InstallEngine.h"
#include "install/InstalledState.h"
#include <gtest/gtest.h>

TEST (InstalledState, StatusTextShowsAVersionOnlyWhenThereIsOne)
{
    EXPECT_EQ (qv::statusText (false, {}), "NOT INSTALLED");
    EXPECT_EQ (qv::statusText (false, "1.0.4.0"), "NOT INSTALLED");
    EXPECT_EQ (qv::statusText (true, {}), "INSTALLED");
    EXPECT_EQ (qv::statusText (true, "1.0.4.0"), "v1.0.4.0 INSTALLED");
}

TEST (InstalledState, BundleIsTheProductNameWithTheFormatsExtensionInItsFolder)
{
    const juce::File folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("f"));

    EXPECT_EQ (qv::bundleFileFor (folder, "Varnoly", 0), folder.getChildFile ("Varnoly.vst3"));
    EXPECT_EQ (qv::bundleFileFor (folder, "Varnoly", 1), folder.getChildFile ("Varnoly.clap"));
    EXPECT_EQ (qv::bundleFileFor (folder, "Varnoly", 2), folder.getChildFile ("Varnoly.aaxplugin"));
}

TEST (InstalledState, AnythingAtTheBundlePathIsInstalledAndNothingElse)
{
    struct Case
    {
        const char* name;
        const char* folderPath; // the VST3 folder, below the temporary folder
        const char* bundleFile; // made below the temporary folder: a folder when it ends in "/"
        bool installed;
    };

    const Case cases[] {
        { "format folder missing", "missing", nullptr, false },
        { "format folder empty", "vst3", "vst3/", false },
        { "another product's bundle", "vst3", "vst3/Other.vst3/", false },
        { "empty bundle folder", "vst3", "vst3/Varnoly.vst3/", true },
        { "plain file in place of the bundle", "vst3", "vst3/Varnoly.vst3", true },
        { "bundle name in another case", "vst3", "vst3/varnoly.VST3/", ! juce::File::areFileNamesCaseSensitive() },
        { "leftovers of an interrupted run only", "vst3", "vst3/.Varnoly.vst3.qv-staging/Varnoly.vst3/", false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto folder = temp / c.folderPath;

        if (c.bundleFile != nullptr)
        {
            const auto made = temp / c.bundleFile;
            juce::String (c.bundleFile).endsWithChar ('/') ? (void) made.createDirectory() : (void) made.create();
        }

        EXPECT_EQ (qv::isFormatInstalled (folder, "Varnoly", 0), c.installed);

        if (! c.installed)
        {
            EXPECT_EQ (qv::installedVersionOf (folder, "Varnoly", 0), "");
        }
    }
}

TEST (InstalledState, AskedAfreshEveryTime)
{
    TempFolder temp;
    const auto folder = temp / "clap";

    EXPECT_FALSE (qv::isFormatInstalled (folder, "Varnoly", 1));
    folder.getChildFile ("Varnoly.clap").create();
    EXPECT_TRUE (qv::isFormatInstalled (folder, "Varnoly", 1));
    folder.getChildFile ("Varnoly.clap").deleteFile();
    EXPECT_FALSE (qv::isFormatInstalled (folder, "Varnoly", 1));
}
