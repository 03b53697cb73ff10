#include "catalogue/PlatformFolders.h"
#include <gtest/gtest.h>

TEST (PlatformFolders, LinuxDefaultsAreTheSystemPluginFolders)
{
    const auto folders = qv::defaultFormatFolders();
    EXPECT_EQ (folders[0].getFullPathName(), "/usr/lib/vst3");
    EXPECT_EQ (folders[1].getFullPathName(), "/usr/lib/clap");
    EXPECT_EQ (folders[2].getFullPathName(), "/usr/lib/aax");
    EXPECT_EQ (qv::platform::commonApplicationDataFolder().getFullPathName(), "/opt");
    EXPECT_EQ (qv::platform::platformSuffix(), " for Linux");
}
