#include "HelperProcess.h"
#include "InstallEngineFixture.h"
#include "install/BundleSiblings.h"
#include <set>

namespace
{
    /** The engine run on all three formats in the helper process, which records every rename and
        every full flush it makes, from whichever thread. */
    struct InstallOrderTest : InstallEngineTest
    {
        const std::array<TreeSnapshot, 3> newSnapshots { snapshotOfBundle (0, newContents[0]),
                                                         snapshotOfBundle (1, newContents[1]),
                                                         snapshotOfBundle (2, newContents[2]) };

        juce::StringArray installAllArguments (int killAfterMove = 0) const
        {
            juce::StringArray arguments { "install-all", (temp / "plugins").getFullPathName() };

            for (size_t format = 0; format < archives.size(); ++format)
            {
                const auto file = temp / ("archives/" + juce::String ((int) format) + ".zip");
                file.getParentDirectory().createDirectory();
                file.replaceWithData (archives[format].getData(), archives[format].getSize());
                arguments.add (file.getFullPathName());
            }

            if (killAfterMove > 0)
                arguments.add (juce::String (killAfterMove));

            return arguments;
        }

        /** Every file of a format's new bundle as it lies in the staging folder. */
        juce::StringArray stagedFiles (int format) const
        {
            const auto staged = qv::siblingsOf (bundle (format)).staging.getChildFile (bundleName (format));
            juce::StringArray files;

            for (const auto& [path, content] : newContents[(size_t) format])
                files.add ((path.isEmpty() ? staged : staged.getChildFile (path)).getFullPathName());

            return files;
        }
    };
}

TEST_F (InstallOrderTest, EveryBundleIsOnTheDiskBeforeItAppearsAndBundlesAppearInFormatOrder)
{
    for (const bool update : { false, true })
    {
        SCOPED_TRACE (update ? "update" : "first install");
        (temp / "plugins").deleteRecursively();

        if (update)
            for (int format = 0; format < 3; ++format)
                makeBundle (bundle (format), oldContents[(size_t) format]);

        HelperProcess helper (installAllArguments());
        const auto output = helper.wait();
        ASSERT_TRUE (helper.succeeded()) << output;

        std::set<juce::String> flushed;
        juce::StringArray appeared;

        for (const auto& line : juce::StringArray::fromLines (output))
        {
            const auto event = juce::StringArray::fromTokens (line, "\t", {});

            if (event[0] == "flush")
                flushed.insert (event[1]);

            for (int format = 0; format < 3; ++format)
            {
                if (event[0] == "move" && event[2] == bundle (format).getFullPathName()
                    && event[1] == qv::siblingsOf (bundle (format)).staging.getChildFile (bundleName (format)).getFullPathName())
                {
                    appeared.add (bundleName (format));

                    for (const auto& file : stagedFiles (format))
                        EXPECT_EQ (flushed.count (file), 1u) << file.toStdString() << " was not flushed before its bundle appeared";
                }
            }
        }

        EXPECT_EQ (appeared, juce::StringArray (bundleName (0), bundleName (1), bundleName (2)));

        for (int format = 0; format < 3; ++format)
            EXPECT_EQ (snapshotOf (bundle (format)), newSnapshots[(size_t) format]);
    }
}

TEST_F (InstallOrderTest, AFirstInstallKilledAfterAnyRenameHoldsWholeBundlesForTheFormatsBefore)
{
    for (int move = 1; move <= 3; ++move)
    {
        SCOPED_TRACE ("killed after rename " + juce::String (move));
        (temp / "plugins").deleteRecursively();

        HelperProcess killed (installAllArguments (move));
        killed.wait();
        ASSERT_TRUE (killed.wasKilled());

        for (int format = 0; format < 3; ++format)
        {
            if (format < move)
                EXPECT_EQ (snapshotOf (bundle (format)), newSnapshots[(size_t) format]);
            else
                EXPECT_FALSE (qv::existsAtAll (bundle (format))) << bundleName (format) << " appeared before the formats ahead of it";
        }

        qv::recoverInterruptedRuns (folders, "Varnoly");

        for (int format = 0; format < 3; ++format)
            EXPECT_EQ (namesIn (folders[(size_t) format]), format < move ? juce::StringArray (bundleName (format)) : juce::StringArray());
    }
}
