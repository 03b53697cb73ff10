#include "TempFolder.h"
#include "catalogue/SettingsFile.h"
#include <gtest/gtest.h>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    /** Runs `body` in a child process bounded in memory (512 MB), time (20 s) and stack (1 MB, the
        main thread's on Windows), so that a parse without bounds fails the test instead of taking the
        machine down. Returns an empty string when `body` returned true. */
    std::string runBounded (const std::function<bool()>& body)
    {
        struct Worker final : juce::Thread
        {
            explicit Worker (const std::function<bool()>& b) : juce::Thread ("bounded", 1 << 20),
                                                               work (b) {}
            void run() override { passed = work(); }

            const std::function<bool()>& work;
            bool passed = false;
        };

        const auto child = fork();

        if (child == 0)
        {
            const rlimit memory { 512u << 20, 512u << 20 };
            setrlimit (RLIMIT_AS, &memory);
            alarm (20);

            Worker worker (body);
            worker.startThread();
            worker.waitForThreadToExit (-1);
            _exit (worker.passed ? 0 : 1);
        }

        int status = 0;
        waitpid (child, &status, 0);

        if (WIFSIGNALED (status))
            return std::string ("killed by signal ") + strsignal (WTERMSIG (status));

        if (WEXITSTATUS (status) != 0)
            return "the folders read were not the expected ones";

        return {};
    }

    juce::String repeated (const char* text, int times)
    {
        juce::String result;
        result.preallocateBytes ((size_t) times * strlen (text));

        for (int i = 0; i < times; ++i)
            result << text;

        return result;
    }
}

TEST (SettingsFileLinux, HostileFilesAreRefusedWithinBoundedMemoryTimeAndStack)
{
    const auto levels = "<!DOCTYPE r [ <!ENTITY l0 \"lol\"> <!ENTITY l1 \"" + repeated ("&l0;", 10) + "\">"
                                                                                                      " <!ENTITY l2 \""
        + repeated ("&l1;", 10) + "\"> ]>";

    struct Case
    {
        const char* name;
        juce::String content;   // "@" is the temporary folder
        juce::int64 sparseSize; // grown to this size with a hole, when not 0
        bool linkToDevZero;
        bool readsFolder; // false: the defaults stay
    };

    const Case cases[] {
        { "deep nesting within the size bound", "<S VST3_Path=\"@/n\">" + repeated ("<a>", 20000), 0, false, false },
        { "nested entity expansion", levels + "<r VST3_Path=\"&l2;\"/>", 0, false, false },
        { "external DTD naming an endless device", "<!DOCTYPE r SYSTEM \"/dev/zero\"><r VST3_Path=\"@/&x;\"/>", 0, false, false },
        { "huge file", "<S VST3_Path=\"@/n\"/>", 1ll << 30, false, false },
        { "link to an endless device", {}, 0, true, false },
        { "long but legal", "<!--" + repeated ("x", 60000) + "--><S VST3_Path=\"@/n\"/>", 0, false, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto folder = temp / "Quorvane";
        const auto file = folder.getChildFile ("PluginManagerSettings.txt");
        const std::array<juce::File, 3> defaults { temp / "d/vst3", temp / "d/clap", temp / "d/aax" };
        folder.createDirectory();

        if (c.linkToDevZero)
        {
            ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (file, false));
        }
        else
        {
            ASSERT_TRUE (file.replaceWithText (c.content.replace ("@", temp.folder.getFullPathName()), false, false, nullptr));

            if (c.sparseSize > 0)
            {
                juce::FileOutputStream out (file);
                out.setPosition (c.sparseSize - 1);
                out.writeByte (0);
            }
        }

        const auto expected = c.readsFolder ? temp / "n" : defaults[0];
        const auto sizeBefore = file.getSize();
        const auto modifiedBefore = file.getLastModificationTime();
        const auto start = juce::Time::getMillisecondCounterHiRes();

        EXPECT_EQ (runBounded ([&] { return qv::readOrWriteSettings (folder, defaults)[0] == expected; }), "");
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 5000.0);
        EXPECT_EQ (file.isSymbolicLink(), c.linkToDevZero) << "the file is never rewritten";
        EXPECT_EQ (file.getSize(), sizeBefore) << "the file is never rewritten";
        EXPECT_EQ (file.getLastModificationTime(), modifiedBefore) << "the file is never rewritten";
    }
}
