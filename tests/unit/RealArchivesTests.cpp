#include "RealArchives.h"
#include "TempFolder.h"
#include "catalogue/Catalogue.h"
#include "install/InstalledState.h"
#include <gtest/gtest.h>

TEST (RealArchives, InstallUpdateAndRemoveInATemporaryFolder)
{
    const RealArchives archives;
    ASSERT_TRUE (archives.allRead()) << "the build makes them in " << QV_TEST_ARCHIVES_DIR;

    TempFolder temp;
    const std::array<juce::File, 3> folders { temp / "vst3", temp / "clap", temp / "aax" };
    const qv::RunRequest install { folders, "Varnoly", { true, true, true }, false, archives.bytes() };

    // A first install, then the same again as an update.
    for (int run = 0; run < 2; ++run)
    {
        SCOPED_TRACE (run == 0 ? "install" : "update");
        const auto outcome = qv::processFormats (install);

        ASSERT_TRUE (outcome.succeeded) << outcome.results[0].getErrorMessage() << outcome.results[1].getErrorMessage()
                                        << outcome.results[2].getErrorMessage();

        for (int format = 0; format < 3; ++format)
        {
            SCOPED_TRACE (qv::formatNames[format]);
            const auto& folder = folders[(size_t) format];
            EXPECT_TRUE (qv::isFormatInstalled (folder, "Varnoly", format));

            // Every entry of the archive is on the disk at its full size, and nothing else is.
            juce::MemoryInputStream stream (archives.blocks[(size_t) format], false);
            juce::ZipFile zip (stream);
            ASSERT_GT (zip.getNumEntries(), 0);
            int files = 0;

            for (int i = 0; i < zip.getNumEntries(); ++i)
            {
                const auto name = zip.getEntry (i)->filename.replaceCharacter ('\\', '/');
                const auto onDisk = folder.getChildFile (name);

                if (name.endsWithChar ('/'))
                {
                    EXPECT_TRUE (onDisk.isDirectory()) << name;
                    continue;
                }

                ++files;
                EXPECT_EQ (onDisk.getSize(), zip.getEntry (i)->uncompressedSize) << name;
            }

            EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, true).size(), files);
            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
        }
    }

    auto uninstall = install;
    uninstall.uninstall = true;
    const auto removed = qv::processFormats (uninstall);

    EXPECT_TRUE (removed.succeeded);

    for (const auto& folder : folders)
    {
        EXPECT_TRUE (folder.isDirectory());
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}
