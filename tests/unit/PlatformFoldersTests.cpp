#include "catalogue/PlatformFolders.h"
#include <gtest/gtest.h>

TEST (PlatformFolders, DefaultFoldersAreTheRootsChildrenByFormatIndex)
{
    const auto root = qv::platform::defaultPluginRoot();
    const auto folders = qv::defaultFormatFolders();

    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (folders[(size_t) i], root.getChildFile (qv::platform::defaultFormatFolderName (i)));
        EXPECT_TRUE (folders[(size_t) i].isAChildOf (root));
    }
}
