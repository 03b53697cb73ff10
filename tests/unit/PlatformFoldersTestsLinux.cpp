#include "catalogue/AccountFolders.h"
#include "catalogue/PlatformFolders.h"
#include <gtest/gtest.h>
#include <unistd.h>

TEST (PlatformFolders, RootInstallsForEveryoneAndAnyOtherAccountForItself)
{
    struct Case
    {
        bool isRoot;
        const char* home;
        const char* xdgConfigHome;
        const char* pluginRoot;
        const char* formatFolders; // by format index
        const char* makerFolderParent;
    };

    const Case cases[] = {
        { true, "/root", "", "/usr/lib", "vst3 clap aax", "/opt" },
        { true, "/root", "/root/.cfg", "/usr/lib", "vst3 clap aax", "/opt" },
        { false, "/home/ada", "", "/home/ada", ".vst3 .clap .aax", "/home/ada/.config" },
        { false, "/home/ada", "/srv/ada-config", "/home/ada", ".vst3 .clap .aax", "/srv/ada-config" },
        // A relative XDG_CONFIG_HOME is to be ignored.
        { false, "/home/ada", "cfg", "/home/ada", ".vst3 .clap .aax", "/home/ada/.config" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.isRoot ? "root " : "user ") + c.home + " " + c.xdgConfigHome);
        const auto folders = qv::platform::accountFoldersFor (c.isRoot, c.home, c.xdgConfigHome);

        EXPECT_EQ (folders.pluginRoot.getFullPathName(), c.pluginRoot);
        EXPECT_EQ (folders.formatFolderNames.joinIntoString (" "), c.formatFolders);
        EXPECT_EQ (folders.makerFolderParent.getFullPathName(), c.makerFolderParent);
    }
}

TEST (PlatformFolders, TheRunningAccountGetsItsOwnFolders)
{
    const auto expected = qv::platform::accountFoldersFor (geteuid() == 0,
                                                           juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName(),
                                                           juce::String (juce::CharPointer_UTF8 (std::getenv ("XDG_CONFIG_HOME"))));
    const auto folders = qv::defaultFormatFolders();

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (folders[(size_t) i], expected.pluginRoot.getChildFile (expected.formatFolderNames[i]));

    EXPECT_EQ (qv::platform::makerFolderParent(), expected.makerFolderParent);
    EXPECT_EQ (qv::platform::platformSuffix(), " for Linux");
}
