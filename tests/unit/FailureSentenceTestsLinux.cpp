#include "InstallEngineFixture.h"
#include "MountedFolderTest.h"
#include "catalogue/PlatformFolders.h"
#include "install/BundleUsers.h"
#include "install/ProblemSentences.h"
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    /** A child process that holds a file open until it is killed, as a host holds a loaded plug-in. */
    struct FileHolder
    {
        explicit FileHolder (const juce::File& file)
        {
            int ready[2];

            if (pipe (ready) != 0)
                return;

            pid = fork();

            if (pid == 0)
            {
                const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY);
                const char byte = fd >= 0 ? 1 : 0;
                [[maybe_unused]] const auto written = ::write (ready[1], &byte, 1);
                pause();
                _exit (0);
            }

            char byte = 0;
            held = pid > 0 && ::read (ready[0], &byte, 1) == 1 && byte == 1;
            ::close (ready[0]);
            ::close (ready[1]);
        }

        ~FileHolder()
        {
            if (pid > 0)
            {
                ::kill (pid, SIGKILL);
                waitpid (pid, nullptr, 0);
            }
        }

        pid_t pid = -1;
        bool held = false;
    };

    juce::String thisProgramsName()
    {
        return juce::File ("/proc/self/exe").getLinkedTarget().getFileName();
    }
}

// Each way a run can fail, made for real, and the sentence the person at the window reads.
TEST_F (MountedFolderTest, EachFailureGivesItsSentence)
{
    const auto vst3 = folders[0].getFullPathName();
    const auto large = testzip::build ([this] {
        auto entries = entriesFor (0, newContents[0]);
        juce::MemoryBlock module (3 << 20);
        juce::Random (7).fillBitsRandomly (module.getData(), module.getSize());
        entries.push_back ({ "Varnoly.vst3\\Contents\\x86_64-win\\Large.bin", module });
        return entries;
    }(),
                                       0);

    auto damaged = archives[0];
    damaged.setSize (damaged.getSize() / 2);

    struct Case
    {
        const char* name;
        std::function<bool()> arrange; // false when the fault could not be made
        std::array<bool, 3> selected;
        bool uninstall;
        qv::Problem::Kind kind;
        juce::String sentence;
        std::function<void (qv::RunRequest&)> adjust;
    };

    const std::vector<Case> cases {
        { "nothing selected", [] { return true; }, { false, false, false }, false, qv::Problem::Kind::none, "Select a format first.", {} },
        { "read-only folder, install", [&] { return folders[0].createDirectory().wasOk() && bindReadOnly (folders[0]); }, { true, false, false }, false, qv::Problem::Kind::noPermission, "VST3: no permission to write " + vst3 + ". " + qv::platform::howToGetWriteAccess(), {} },
        { "read-only folder, uninstall", [&] { makeBundle (bundle (0), oldContents[0]); return bindReadOnly (folders[0]); }, { true, false, false }, true, qv::Problem::Kind::noPermission, "VST3: no permission to write " + vst3 + ". " + qv::platform::howToGetWriteAccess(), {} },
        { "three read-only folders", [&] {
             for (const auto& f : folders)
                 if (! f.createDirectory().wasOk() || ! bindReadOnly (f))
                     return false;
             return true;
         },
          { true, true, true },
          false,
          qv::Problem::Kind::noPermission,
          "VST3, CLAP and AAX: no permission to write " + folders[0].getParentDirectory().getFullPathName() + ". " + qv::platform::howToGetWriteAccess(),
          {} },
        { "1 MB disk", [&] { return mountTmpfs (folders[0], "1m"); }, { true, false, false }, false, qv::Problem::Kind::notEnoughSpace, "VST3 needs 4 MB, only 1 MB is free at " + vst3 + ". Free some space and try again.", [&] (qv::RunRequest& r) { r.archives[0] = testzip::archiveOf (large); } },
        { "a file where the folder belongs", [&] { return folders[0].getParentDirectory().createDirectory().wasOk() && folders[0].replaceWithText ("not a folder"); }, { true, false, false }, false, qv::Problem::Kind::folderNotCreated, "VST3: can't create the folder " + vst3 + ". Check the path in the settings file.", {} },
        { "old bundle that cannot be moved (a mount point)", [&] {
             makeBundle (bundle (0), oldContents[0]);
             return bindOnItself (bundle (0));
         },
          { true, false, false },
          false,
          qv::Problem::Kind::oldBundleNotRemoved,
          "VST3: the old version at " + bundle (0).getFullPathName() + " can't be removed. Close your hosts and try again.",
          {} },
        { "damaged archive", [&] { return folders[0].createDirectory().wasOk(); }, { true, false, false }, false, qv::Problem::Kind::damagedArchive, "VST3: this installer's copy of the plug-in is damaged. Download it again.", [&] (qv::RunRequest& r) { r.archives[0] = testzip::archiveOf (damaged); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        unmountAll();
        temp.folder.deleteRecursively();
        temp.folder.createDirectory();
        ASSERT_TRUE (c.arrange()) << std::strerror (errno);
        const auto before = snapshotOf (temp.folder);

        auto run = request (c.selected, c.uninstall);

        if (c.adjust)
            c.adjust (run);

        const auto outcome = qv::processFormats (run);

        EXPECT_FALSE (outcome.succeeded);
        EXPECT_EQ (outcome.problems[0].kind, c.kind) << outcome.results[0].getErrorMessage();
        EXPECT_EQ (qv::runSentence (outcome, c.uninstall), c.sentence);
        EXPECT_EQ (snapshotOf (temp.folder), before) << "a failed run leaves everything as it was";
    }
}

// Linux lets a running program keep its copy of the old files: the update goes on, and the
// program is named as still running the old version.
TEST_F (InstallEngineTest, AnUpdateOfAHeldBundleGoesOnAndNamesTheProgram)
{
    for (bool uninstall : { false, true })
    {
        SCOPED_TRACE (uninstall ? "uninstall" : "update");
        makeBundle (bundle (0), oldContents[0]);
        // Opened through a second name: the file is found by what it is, not by the path it was opened by.
        const auto module = bundle (0).getChildFile ("Contents/x86_64-win/Varnoly.vst3");
        const auto otherName = temp / "other-name.bin";
        ASSERT_EQ (::link (module.getFullPathName().toRawUTF8(), otherName.getFullPathName().toRawUTF8()), 0);
        FileHolder holder (otherName);
        ASSERT_TRUE (holder.held);

        EXPECT_EQ (qv::platform::programsUsing (bundle (0)), juce::StringArray (thisProgramsName()));

        const auto outcome = qv::processFormats (request ({ true, false, false }, uninstall));

        ASSERT_TRUE (outcome.succeeded) << outcome.results[0].getErrorMessage();
        EXPECT_EQ (outcome.stillRunningOld[0], juce::StringArray (thisProgramsName()));
        EXPECT_EQ (qv::isFormatInstalled (folders[0], "Varnoly", 0), ! uninstall);
        EXPECT_EQ (qv::runSentence (outcome, uninstall),
                   uninstall ? "Removed. " + thisProgramsName() + " keeps the old VST3 loaded until restarted."
                             : "Installed. " + thisProgramsName() + " still runs the old VST3; restart it to load the new version.");

        // The new bundle is not the one the program holds.
        if (! uninstall)
        {
            EXPECT_TRUE (qv::platform::programsUsing (bundle (0)).isEmpty());
        }

        otherName.deleteFile();
    }
}
