#include "InstallEngineFixture.h"
#include "catalogue/Catalogue.h"
#include "install/BundleSiblings.h"
#include "install/ProblemSentences.h"
#include <algorithm>

TEST_F (InstallEngineTest, RunSucceedsOnlyWhenEveryProcessedFormatSucceeds)
{
    struct Case
    {
        const char* name;
        std::array<bool, 3> selected;
        std::array<bool, 3> goodArchive;
        bool uninstall;
        bool succeeded;
    };

    const Case cases[] {
        { "VST3 fails, CLAP succeeds", { true, true, false }, { false, true, true }, false, false },
        { "VST3 succeeds, CLAP fails", { true, true, false }, { true, false, true }, false, false },
        { "all three succeed", { true, true, true }, { true, true, true }, false, true },
        { "AAX alone", { false, false, true }, { true, true, true }, false, true },
        { "nothing selected", { false, false, false }, { true, true, true }, false, false },
        { "removing formats that are not installed", { true, false, true }, { true, true, true }, true, true },
    };

    const auto notAnArchive = testzip::bytes ("not an archive");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder caseTemp;
        const std::array<juce::File, 3> caseFolders { caseTemp / "vst3", caseTemp / "clap", caseTemp / "aax" };
        qv::RunRequest run { caseFolders, "Varnoly", c.selected, c.uninstall, {} };

        for (size_t i = 0; i < 3; ++i)
            run.archives[i] = testzip::archiveOf (c.goodArchive[i] ? archives[i] : notAnArchive);

        const auto outcome = qv::processFormats (run);

        EXPECT_EQ (outcome.succeeded, c.succeeded);
        EXPECT_EQ (outcome.processed, c.selected) << "every selected format is processed, whatever its outcome";

        for (size_t i = 0; i < 3; ++i)
        {
            SCOPED_TRACE (qv::formatNames[(int) i]);
            const bool shouldSucceed = c.uninstall || c.goodArchive[i];

            if (c.selected[i])
            {
                EXPECT_EQ (outcome.results[i].wasOk(), shouldSucceed) << outcome.results[i].getErrorMessage();
            }
            else
            {
                EXPECT_FALSE (caseFolders[i].exists()) << "a format not selected is not touched";
            }

            EXPECT_EQ (qv::isFormatInstalled (caseFolders[i], "Varnoly", (int) i), c.selected[i] && shouldSucceed && ! c.uninstall);
        }
    }
}

TEST_F (InstallEngineTest, InstallLeavesExactlyTheNewBundleWhateverWasThere)
{
    struct Case
    {
        const char* name;
        bool folderExists;
        enum
        {
            nothing,
            oldBundle,
            plainFile,
            emptyFolder
        } atBundle;
    };

    const Case cases[] {
        { "format folder missing", false, Case::nothing },
        { "first install", true, Case::nothing },
        { "older bundle holding extra files", true, Case::oldBundle },
        { "plain file in the bundle's place", true, Case::plainFile },
        { "empty folder in the bundle's place", true, Case::emptyFolder },
    };

    for (int format = 0; format < 3; ++format)
    {
        const auto expected = snapshotOfBundle (format, newContents[(size_t) format]);

        for (const auto& c : cases)
        {
            SCOPED_TRACE (bundleName (format) + ": " + c.name);
            const auto folder = folders[(size_t) format];
            folder.deleteRecursively();

            if (c.folderExists)
                writeFile (folder.getChildFile ("Other" + bundleName (format).fromFirstOccurrenceOf (".", true, false)), "another plug-in");

            if (c.atBundle == Case::oldBundle)
                makeBundle (bundle (format), oldContents[(size_t) format]);
            else if (c.atBundle == Case::plainFile)
                writeFile (bundle (format), "a stray file");
            else if (c.atBundle == Case::emptyFolder)
                bundle (format).createDirectory();

            const auto neighbours = namesIn (folder);
            std::array<bool, 3> selected {};
            selected[(size_t) format] = true;

            const auto outcome = qv::processFormats (request (selected));

            ASSERT_TRUE (outcome.succeeded) << outcome.results[(size_t) format].getErrorMessage();
            EXPECT_EQ (snapshotOf (bundle (format)), expected);

            auto expectedNames = neighbours;
            expectedNames.addIfNotAlreadyThere (bundleName (format));
            expectedNames.sort (false);
            EXPECT_EQ (namesIn (folder), expectedNames) << "nothing else is left in the folder";
        }
    }
}

TEST_F (InstallEngineTest, UninstallRemovesOnlyTheBundle)
{
    struct Case
    {
        const char* name;
        bool folderExists;
        bool bundleFolder;
        bool plainFile;
    };

    const Case cases[] {
        { "installed bundle", true, true, false },
        { "plain file in the bundle's place", true, false, true },
        { "not installed", true, false, false },
        { "format folder missing", false, false, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto folder = folders[0];
        folder.deleteRecursively();

        if (c.folderExists)
            writeFile (folder.getChildFile ("Other.vst3/module"), "another plug-in");

        if (c.bundleFolder)
            makeBundle (bundle (0), oldContents[0]);

        if (c.plainFile)
            writeFile (bundle (0), "a stray file");

        const auto outcome = qv::processFormats (request ({ true, false, false }, true));

        EXPECT_TRUE (outcome.succeeded) << outcome.results[0].getErrorMessage();
        EXPECT_TRUE (outcome.processed[0]);
        EXPECT_FALSE (qv::isFormatInstalled (folder, "Varnoly", 0));
        EXPECT_EQ (folder.exists(), c.folderExists) << "the folder itself stays, and is never created";

        if (c.folderExists)
        {
            EXPECT_EQ (namesIn (folder), juce::StringArray ("Other.vst3"));
        }
    }
}

TEST_F (InstallEngineTest, BadArchiveChangesNothingAnywhere)
{
    const auto outside = temp / "outside";
    const auto good = entriesFor (0, newContents[0]);
    const auto withRaw = [&good] (std::vector<testzip::RawEntry> extra, bool extraFirst) {
        std::vector<testzip::RawEntry> entries;

        for (const auto& e : good)
            entries.push_back ({ e.name, e.data, 0 });

        entries.insert (extraFirst ? entries.begin() : entries.end(), extra.begin(), extra.end());
        return testzip::handWritten (entries);
    };
    const auto evil = [&withRaw] (const juce::String& name) { return withRaw ({ { name, testzip::bytes ("evil"), 0 } }, false); };

    // Compressed data that stops decoding part-way, in the last entry, after good files were written.
    auto damagedEntries = good;
    juce::MemoryOutputStream lines;
    for (int i = 0; i < 20000; ++i)
        lines << "line " << i << "\n";
    damagedEntries.push_back ({ "Varnoly.vst3\\Contents\\Resources\\lines.txt", lines.getMemoryBlock() });
    auto damaged = testzip::build (damagedEntries);
    const auto* start = static_cast<const char*> (damaged.getData());
    const std::string marker ("lines.txt");
    const auto damagedData = (size_t) (std::search (start, start + damaged.getSize(), marker.begin(), marker.end()) - start) + 1000;
    ASSERT_LT (damagedData + 32, damaged.getSize());
    for (auto i = damagedData; i < damagedData + 32; ++i)
        damaged[i] = (char) (damaged[i] ^ 0x5a);

    const auto linkTarget = outside.getFullPathName();

    struct Case
    {
        const char* name;
        juce::MemoryBlock archive;
    };

    const Case cases[] {
        { "climbs with backslashes", evil ("Varnoly.vst3\\..\\..\\..\\outside\\evil.txt") },
        { "climbs with slashes", evil ("../../outside/evil.txt") },
        { "climbs from inside the bundle", evil ("Varnoly.vst3/Contents/../../../../outside/evil.txt") },
        { "absolute path", evil (outside.getChildFile ("evil.txt").getFullPathName()) },
        { "inside the folder but outside the bundle", evil ("Varnoly.vst3/../Varnoly.clap") },
        { "another bundle", evil ("Other.vst3/evil.txt") },
        { "drive or stream name", evil ("Varnoly.vst3/Contents:evil") },
        { "device name", evil ("Varnoly.vst3/Contents/NUL") },
        { "empty name part", evil ("Varnoly.vst3//evil.txt") },
        { "empty name", evil ("") },
        { "bad entry before the good ones", withRaw ({ { "../evil.txt", testzip::bytes ("evil"), 0 } }, true) },
        { "link entry with a folder and a file through it",
          withRaw ({ { "Varnoly.vst3/link", testzip::bytes (linkTarget), testzip::symbolicLinkAttributes },
                     { "Varnoly.vst3/link/sub/", {}, 0 },
                     { "Varnoly.vst3/link/evil.txt", testzip::bytes ("evil"), 0 } },
                   false) },
        { "damaged compressed data", damaged },
        { "truncated archive", juce::MemoryBlock (archives[0].getData(), archives[0].getSize() / 2) },
        { "not an archive", testzip::bytes ("PK but not really") },
        { "archive without entries", testzip::handWritten ({}) },
        { "no archive", {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        temp.folder.deleteRecursively();
        outside.createDirectory();
        makeBundle (bundle (0), oldContents[0]);
        writeFile (folders[0].getChildFile ("Other.vst3/module"), "another plug-in");
        const auto before = snapshotOf (temp.folder);

        auto run = request ({ true, false, false });
        run.archives[0] = testzip::archiveOf (c.archive);
        const auto outcome = qv::processFormats (run);

        EXPECT_FALSE (outcome.succeeded);
        EXPECT_TRUE (outcome.results[0].failed());
        EXPECT_TRUE (outcome.results[0].getErrorMessage().isNotEmpty());
        EXPECT_EQ (snapshotOf (temp.folder), before) << "the old bundle stays as it was and nothing is written anywhere";
    }
}

TEST_F (InstallEngineTest, LeftoversOfAnInterruptedRunAreClearedAndNeverCountAsInstalled)
{
    struct Case
    {
        const char* name;
        bool bundle, staging, previous, removing; // what the interrupted run left
        bool installedAfter;                      // the bundle path afterwards
        bool oldBundleAfter;                      // ... holds the old bundle (else the new one)
    };

    const Case cases[] {
        { "partial extraction beside the old bundle", true, true, false, false, true, true },
        { "partial extraction, first install", false, true, false, false, false, false },
        { "old bundle moved aside, new one not yet in", false, false, true, false, true, true },
        { "new bundle in, old one still aside", true, false, true, false, true, false },
        { "removal interrupted", false, false, false, true, false, false },
        { "removal of the old bundle interrupted after an update", true, false, false, true, true, false },
    };

    const auto oldSnapshot = snapshotOfBundle (0, oldContents[0]);
    const auto newSnapshot = snapshotOfBundle (0, newContents[0]);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        folders[0].deleteRecursively();
        const auto siblings = qv::siblingsOf (bundle (0));

        if (c.bundle)
            makeBundle (bundle (0), c.oldBundleAfter ? oldContents[0] : newContents[0]);
        if (c.staging)
            makeBundle (siblings.staging.getChildFile ("Varnoly.vst3"), { newContents[0].front() });
        if (c.previous)
            makeBundle (siblings.previous, oldContents[0]);
        if (c.removing)
            makeBundle (siblings.removing, { oldContents[0].front() });

        EXPECT_EQ (qv::isFormatInstalled (folders[0], "Varnoly", 0), c.bundle);

        // Any run that does something clears every format's leftovers; this one only removes CLAP.
        EXPECT_TRUE (qv::processFormats (request ({ false, true, false }, true)).succeeded);

        EXPECT_EQ (namesIn (folders[0]), c.installedAfter ? juce::StringArray ("Varnoly.vst3") : juce::StringArray());

        if (c.installedAfter)
        {
            EXPECT_EQ (snapshotOf (bundle (0)), c.oldBundleAfter ? oldSnapshot : newSnapshot);
        }
    }
}

TEST_F (InstallEngineTest, NothingSelectedTouchesNothingAtAll)
{
    const auto siblings = qv::siblingsOf (bundle (0));
    makeBundle (siblings.previous, oldContents[0]);
    makeBundle (bundle (1), oldContents[1]);
    const auto before = snapshotOf (temp.folder);

    for (bool uninstall : { false, true })
    {
        const auto outcome = qv::processFormats (request ({ false, false, false }, uninstall));

        EXPECT_FALSE (outcome.succeeded);
        EXPECT_EQ (outcome.processed, (std::array<bool, 3> {}));
        EXPECT_EQ (snapshotOf (temp.folder), before);
    }
}

TEST_F (InstallEngineTest, FormatWithoutAFolderFailsInsteadOfActingOnTheRoot)
{
    auto run = request ({ true, false, false }, true);
    run.formatFolders[0] = juce::File();

    const auto outcome = qv::processFormats (run);

    EXPECT_FALSE (outcome.succeeded);
    EXPECT_TRUE (outcome.results[0].failed());
}

// Where programs that hold a bundle block changes (Windows, asked through the Restart Manager),
// a held format is left untouched and its programs named; the others go on. Where they do not
// block (Linux), the held format is replaced and its programs named as running the old version.
TEST_F (InstallEngineTest, ProgramsHoldingABundleAreNamedAndNeverStopped)
{
    const juce::StringArray holders { "Ableton Live", "REAPER" };

    for (bool block : { true, false })
    {
        for (bool uninstall : { false, true })
        {
            SCOPED_TRACE (juce::String (block ? "blocking" : "not blocking") + (uninstall ? ", uninstall" : ", update"));
            temp.folder.deleteRecursively();
            makeBundle (bundle (0), oldContents[0]);
            makeBundle (bundle (1), oldContents[1]);
            const auto vst3Before = snapshotOf (bundle (0));

            juce::Array<juce::File> asked;
            auto run = request ({ true, true, true }, uninstall);
            run.programsInUseBlockChanges = block;
            run.programsUsing = [&] (const juce::File& b) {
                asked.add (b);
                return b == bundle (0) ? holders : juce::StringArray();
            };

            const auto outcome = qv::processFormats (run);

            // Only bundles that are there to be replaced or removed are asked about.
            EXPECT_EQ (asked, juce::Array<juce::File> ({ bundle (0), bundle (1) }));
            EXPECT_EQ (outcome.succeeded, ! block);
            EXPECT_EQ (qv::isFormatInstalled (folders[1], "Varnoly", 1), ! uninstall);
            EXPECT_EQ (qv::isFormatInstalled (folders[2], "Varnoly", 2), ! uninstall);

            if (block)
            {
                EXPECT_EQ (outcome.problems[0].kind, qv::Problem::Kind::inUse);
                EXPECT_EQ (snapshotOf (bundle (0)), vst3Before) << "a held bundle is left as it was";
                EXPECT_EQ (namesIn (folders[0]), juce::StringArray ("Varnoly.vst3"));
                EXPECT_EQ (qv::runSentence (outcome, uninstall),
                           juce::String (juce::CharPointer_UTF8 ("VST3 is in use by Ableton Live and REAPER \xe2\x80\x94 close them and "))
                               + (uninstall ? "try again." : "press INSTALL again."));
            }
            else
            {
                EXPECT_EQ (outcome.stillRunningOld[0], holders);
                EXPECT_TRUE (outcome.stillRunningOld[1].isEmpty());
                EXPECT_EQ (qv::isFormatInstalled (folders[0], "Varnoly", 0), ! uninstall);
                EXPECT_EQ (qv::runSentence (outcome, uninstall),
                           uninstall ? "Removed. Ableton Live and REAPER keep the old VST3 loaded until restarted."
                                     : "Installed. Ableton Live and REAPER still run the old VST3; restart them to load the new version.");
            }
        }
    }
}
