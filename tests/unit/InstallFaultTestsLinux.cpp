#include "HelperProcess.h"
#include "MountedFolderTest.h"
#include "InstallEngineFixture.h"
#include "install/BundleSiblings.h"
#include <cerrno>
#include <cstring>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    juce::MemoryBlock randomBytes (size_t size, juce::int64 seed)
    {
        juce::MemoryBlock block (size);
        juce::Random (seed).fillBitsRandomly (block.getData(), size);
        return block;
    }
}

TEST_F (MountedFolderTest, ReadOnlyFolderFailsAndChangesNothing)
{
    makeBundle (bundle (0), oldContents[0]);
    ASSERT_TRUE (bindReadOnly (folders[0])) << std::strerror (errno);
    const auto before = snapshotOf (temp.folder);

    for (bool uninstall : { false, true })
    {
        SCOPED_TRACE (uninstall ? "uninstall" : "update");
        const auto outcome = qv::processFormats (request ({ true, false, false }, uninstall));

        EXPECT_FALSE (outcome.succeeded);
        EXPECT_TRUE (outcome.results[0].failed());
        EXPECT_EQ (snapshotOf (temp.folder), before);
    }
}

TEST_F (MountedFolderTest, FullDiskFailsKeepsTheOldBundleAndGivesTheSpaceBack)
{
    ASSERT_TRUE (mountTmpfs (folders[0], "1m")) << std::strerror (errno);
    makeBundle (bundle (0), oldContents[0]);
    const auto before = snapshotOf (temp.folder);
    const auto freeBefore = freeBlocks (folders[0]);

    auto tooLarge = newContents[0];
    const auto module = randomBytes (4 << 20, 42);
    auto entries = entriesFor (0, tooLarge);
    entries.push_back ({ "Varnoly.vst3\\Contents\\x86_64-win\\Large.bin", module });
    const auto archive = testzip::build (entries, 1);

    auto run = request ({ true, false, false });
    run.archives[0] = testzip::archiveOf (archive);
    const auto outcome = qv::processFormats (run);

    EXPECT_FALSE (outcome.succeeded);
    EXPECT_EQ (outcome.problems[0].kind, qv::Problem::Kind::notEnoughSpace) << outcome.results[0].getErrorMessage();
    EXPECT_GT (outcome.problems[0].bytesNeeded, 4 << 20);
    EXPECT_LT (outcome.problems[0].bytesFree, 1 << 20);
    EXPECT_EQ (snapshotOf (temp.folder), before);
    EXPECT_EQ (freeBlocks (folders[0]), freeBefore);

    // With the space given back, an archive that fits installs.
    EXPECT_TRUE (qv::processFormats (request ({ true, false, false })).succeeded);
    EXPECT_EQ (snapshotOf (bundle (0)), snapshotOfBundle (0, newContents[0]));
}

TEST_F (InstallEngineTest, LinksAreNeverFollowed)
{
    struct Case
    {
        const char* name;
        bool linkAtBundle; // else a link inside an old bundle
        bool danglingLink;
        bool uninstall;
    };

    const Case cases[] {
        { "link to a folder at the bundle path, update", true, false, false },
        { "link to a folder at the bundle path, uninstall", true, false, true },
        { "dangling link at the bundle path, update", true, true, false },
        { "dangling link at the bundle path, uninstall", true, true, true },
        { "link inside the old bundle, update", false, false, false },
        { "link inside the old bundle, uninstall", false, false, true },
    };

    const auto newSnapshot = snapshotOfBundle (0, newContents[0]);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        temp.folder.deleteRecursively();
        const auto elsewhere = temp / "elsewhere/Varnoly.vst3";
        makeBundle (elsewhere, oldContents[0]);
        const auto elsewhereBefore = snapshotOf (temp / "elsewhere");
        const auto target = c.danglingLink ? temp / "nowhere" : elsewhere;
        folders[0].createDirectory();

        if (c.linkAtBundle)
        {
            ASSERT_TRUE (target.createSymbolicLink (bundle (0), false));
        }
        else
        {
            makeBundle (bundle (0), oldContents[0]);
            ASSERT_TRUE (target.createSymbolicLink (bundle (0).getChildFile ("Contents/Shared"), false));
        }

        EXPECT_TRUE (qv::isFormatInstalled (folders[0], "Varnoly", 0));

        const auto outcome = qv::processFormats (request ({ true, false, false }, c.uninstall));

        EXPECT_TRUE (outcome.succeeded) << outcome.results[0].getErrorMessage();
        EXPECT_EQ (snapshotOf (temp / "elsewhere"), elsewhereBefore) << "what a link points at is never touched";
        EXPECT_EQ (namesIn (folders[0]), c.uninstall ? juce::StringArray() : juce::StringArray ("Varnoly.vst3"));

        if (! c.uninstall)
        {
            EXPECT_EQ (snapshotOf (bundle (0)), newSnapshot);
        }
    }
}

TEST_F (InstallEngineTest, FormatFolderMayItselfBeALink)
{
    const auto real = temp / "real-vst3";
    real.createDirectory();
    folders[0].getParentDirectory().createDirectory();
    ASSERT_TRUE (real.createSymbolicLink (folders[0], false));

    EXPECT_TRUE (qv::processFormats (request ({ true, false, false })).succeeded);
    EXPECT_EQ (snapshotOf (real.getChildFile ("Varnoly.vst3")), snapshotOfBundle (0, newContents[0]));
    EXPECT_TRUE (folders[0].isSymbolicLink());
}

//==============================================================================
namespace
{
    /** An update large enough to take a while: a big module and many small files, replacing an old
        bundle that also has many files. */
    struct LargeUpdateTest : ::testing::Test
    {
        static inline juce::File suiteFolder;
        static inline juce::File archiveFile;
        static inline TreeSnapshot oldSnapshot, newSnapshot;

        static void makeOldBundle (const juce::File& where)
        {
            writeFile (where.getChildFile ("Contents/x86_64-linux/Varnoly.so"), juce::String::repeatedString ("old", 1 << 20));

            for (int i = 0; i < 200; ++i)
                writeFile (where.getChildFile ("Contents/Resources/old/" + juce::String (i) + ".txt"), "old " + juce::String (i));
        }

        static void SetUpTestSuite()
        {
            suiteFolder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qv_kill_" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
            const auto reference = suiteFolder.getChildFile ("reference/Varnoly.vst3");

            std::vector<testzip::Entry> entries { { "Varnoly.vst3\\Contents\\", {} } };
            const auto add = [&] (const juce::String& path, const juce::MemoryBlock& data) {
                entries.push_back ({ "Varnoly.vst3\\" + path.replaceCharacter ('/', '\\'), data });
                reference.getChildFile (path).getParentDirectory().createDirectory();
                reference.getChildFile (path).replaceWithData (data.getData(), data.getSize());
            };

            juce::MemoryBlock module (48 << 20);
            juce::Random (7).fillBitsRandomly (module.getData(), module.getSize());
            add ("Contents/x86_64-linux/Varnoly.so", module);

            for (int i = 0; i < 300; ++i)
                add ("Contents/Resources/new/" + juce::String (i) + ".txt", testzip::bytes ("new " + juce::String (i)));

            const auto archive = testzip::build (entries, 1);
            archiveFile = suiteFolder.getChildFile ("vst3.zip");
            archiveFile.replaceWithData (archive.getData(), archive.getSize());

            newSnapshot = snapshotOf (reference);
            makeOldBundle (suiteFolder.getChildFile ("old/Varnoly.vst3"));
            oldSnapshot = snapshotOf (suiteFolder.getChildFile ("old/Varnoly.vst3"));
        }

        static void TearDownTestSuite()
        {
            suiteFolder.deleteRecursively();
        }

        void SetUp() override
        {
            startFromTheOldBundle();
        }

        void startFromTheOldBundle()
        {
            folder.deleteRecursively();
            makeOldBundle (bundle);
        }

        juce::StringArray installArguments() const
        {
            return { "install", folder.getFullPathName(), archiveFile.getFullPathName() };
        }

        /** Checks what a killed run left, then that the next run's recovery leaves a whole bundle. */
        void expectWholeBundleAfterRecovery (bool uninstalling)
        {
            const auto siblings = qv::siblingsOf (bundle);
            const auto now = snapshotOf (bundle);

            if (qv::existsAtAll (bundle))
            {
                EXPECT_TRUE (now == oldSnapshot || (! uninstalling && now == newSnapshot)) << "the bundle path holds a partial bundle";
            }
            else if (qv::existsAtAll (siblings.previous))
            {
                EXPECT_EQ (snapshotOf (siblings.previous), oldSnapshot) << "the bundle set aside is partial";
            }

            const auto recovered = qv::recoverInterruptedRun (bundle);
            EXPECT_TRUE (recovered.wasOk()) << recovered.getErrorMessage();

            const auto after = snapshotOf (bundle);

            if (uninstalling)
            {
                EXPECT_TRUE (after.empty() || after == oldSnapshot);
            }
            else
            {
                EXPECT_TRUE (after == oldSnapshot || after == newSnapshot) << "neither the old nor the new bundle is whole";
            }

            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), after.empty() ? 0 : 1);
        }

        TempFolder temp;
        const juce::File folder = temp / "vst3";
        const juce::File bundle = folder.getChildFile ("Varnoly.vst3");
    };
}

TEST_F (LargeUpdateTest, KilledAfterEachRenameOfAnUpdate)
{
    HelperProcess whole (installArguments());
    ASSERT_TRUE (whole.waitUntilRunning());
    const auto output = whole.wait();
    ASSERT_TRUE (whole.succeeded()) << output;
    EXPECT_EQ (snapshotOf (bundle), newSnapshot);

    const int moves = output.fromFirstOccurrenceOf ("moves ", false, false).getIntValue();
    ASSERT_EQ (moves, 3) << "old bundle aside, new bundle in, old bundle to be deleted";

    for (int move = 1; move <= moves; ++move)
    {
        SCOPED_TRACE ("killed after rename " + juce::String (move));
        startFromTheOldBundle();

        auto arguments = installArguments();
        arguments.add (juce::String (move));
        HelperProcess killed (arguments);
        killed.wait();

        ASSERT_TRUE (killed.wasKilled());

        if (move == 1)
        {
            EXPECT_FALSE (qv::existsAtAll (bundle)) << "the window this test exists for: the bundle path is empty";
        }

        expectWholeBundleAfterRecovery (false);
    }
}

TEST_F (LargeUpdateTest, KilledAtRandomMomentsOfAnUpdate)
{
    HelperProcess whole (installArguments());
    ASSERT_TRUE (whole.waitUntilRunning());
    const auto start = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (whole.wait().contains ("succeeded"));
    const auto duration = juce::Time::getMillisecondCounterHiRes() - start;

    int killedWhileExtracting = 0;

    for (auto fraction : { 0.02, 0.1, 0.25, 0.4, 0.55, 0.7, 0.85, 0.95, 0.99 })
    {
        SCOPED_TRACE ("killed after " + juce::String (fraction * duration, 1) + " of " + juce::String (duration, 1) + " ms");
        startFromTheOldBundle();

        HelperProcess killed (installArguments());
        ASSERT_TRUE (killed.waitUntilRunning());
        juce::Thread::sleep ((int) (fraction * duration));
        killed.kill();

        killedWhileExtracting += qv::existsAtAll (qv::siblingsOf (bundle).staging) ? 1 : 0;
        expectWholeBundleAfterRecovery (false);
    }

    EXPECT_GT (killedWhileExtracting, 0) << "no kill landed during the extraction; the run took " << duration << " ms";
}

TEST_F (LargeUpdateTest, KilledDuringARemovalNeverBringsTheBundleBack)
{
    HelperProcess whole ({ "uninstall", folder.getFullPathName() });
    ASSERT_TRUE (whole.waitUntilRunning());
    const auto start = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (whole.wait().contains ("succeeded"));
    const auto duration = juce::Time::getMillisecondCounterHiRes() - start;

    {
        SCOPED_TRACE ("killed after the rename");
        startFromTheOldBundle();
        HelperProcess killed ({ "uninstall", folder.getFullPathName(), "1" });
        killed.wait();
        ASSERT_TRUE (killed.wasKilled());
        EXPECT_FALSE (qv::existsAtAll (bundle));
        expectWholeBundleAfterRecovery (true);
        EXPECT_FALSE (qv::existsAtAll (bundle)) << "a bundle being removed is never restored";
    }

    for (auto fraction : { 0.1, 0.5, 0.9 })
    {
        SCOPED_TRACE ("killed after " + juce::String (fraction * duration, 1) + " ms");
        startFromTheOldBundle();
        HelperProcess killed ({ "uninstall", folder.getFullPathName() });
        ASSERT_TRUE (killed.waitUntilRunning());
        juce::Thread::sleep ((int) (fraction * duration));
        killed.kill();
        expectWholeBundleAfterRecovery (true);
    }
}

TEST_F (LargeUpdateTest, AFailedFlushToTheDiskFailsTheUpdateAndKeepsTheOldBundle)
{
    setenv ("QV_HELPER_FAILING_DATA_FLUSH", "1", 1);
    HelperProcess helper (installArguments());
    unsetenv ("QV_HELPER_FAILING_DATA_FLUSH");

    const auto output = helper.wait();
    EXPECT_FALSE (helper.succeeded()) << output;
    EXPECT_TRUE (output.contains ("to the disk")) << output;
    EXPECT_EQ (snapshotOf (bundle), oldSnapshot);
    EXPECT_EQ (InstallEngineTest::namesIn (folder), juce::StringArray (bundle.getFileName()));
}
