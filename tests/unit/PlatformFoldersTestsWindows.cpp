#include "catalogue/PlatformFolders.h"
#include <gtest/gtest.h>

TEST (PlatformFolders, WindowsDefaultsLieUnderCommonFiles)
{
    const auto folders = qv::defaultFormatFolders();
    EXPECT_EQ (folders[0].getFullPathName(), "C:\\Program Files\\Common Files\\VST3");
    EXPECT_EQ (folders[1].getFullPathName(), "C:\\Program Files\\Common Files\\CLAP");
    EXPECT_EQ (folders[2].getFullPathName(), "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins");
    EXPECT_EQ (qv::platform::platformSuffix(), " for Windows");
}
