#include "RealArchives.h"
#include "TempFolder.h"
#include "install/InstalledState.h"
#include <gtest/gtest.h>

TEST (InstalledStateWindows, RealArchivesShowTheirModulesVersions)
{
    const RealArchives archives;
    ASSERT_TRUE (archives.allRead()) << "the build makes them in " << QV_TEST_ARCHIVES_DIR;

    TempFolder temp;
    const std::array<juce::File, 3> folders { temp / "vst3", temp / "clap", temp / "aax" };
    ASSERT_TRUE (qv::processFormats ({ folders, "Varnoly", { true, true, true }, false, archives.bytes() }).succeeded);

    // The VST3 and AAX versions come from their inner modules; the CLAP module carries none.
    const char* const expected[] { "v1.0.4.0 INSTALLED", "INSTALLED", "v1.0.4.0 INSTALLED" };

    for (int format = 0; format < 3; ++format)
    {
        const auto& folder = folders[(size_t) format];
        EXPECT_EQ (qv::statusText (qv::isFormatInstalled (folder, "Varnoly", format),
                                   qv::installedVersionOf (folder, "Varnoly", format)),
                   juce::String (expected[format]));
    }

    // Without its inner module the AAX bundle is still installed, with no version.
    folders[2].getChildFile ("Varnoly.aaxplugin/Contents/x64/Varnoly.aaxplugin").deleteFile();
    EXPECT_TRUE (qv::isFormatInstalled (folders[2], "Varnoly", 2));
    EXPECT_EQ (qv::installedVersionOf (folders[2], "Varnoly", 2), "");
}
