#include "RealArchives.h"
#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "install/InstalledState.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    const char* const moduleInfo =
        "{\r\n  \"Name\": \"Varnoly\",\r\n  \"Version\": \"1.0.4\",\r\n  \"Factory Info\": {\r\n    \"Vendor\": \"Quorvane\",\r\n"
        "    \"Flags\": {\r\n      \"Unicode\": true,\r\n    },\r\n  },\r\n  \"Classes\": [\r\n    {\r\n      \"Version\": \"9.9.9\",\r\n"
        "      \"Sub Categories\": [\r\n        \"Fx\",\r\n      ],\r\n    },\r\n  ],\r\n}\r\n";
}

TEST (InstalledStateLinux, Vst3VersionComesFromModuleInfoWithinBounds)
{
    struct Case
    {
        const char* name;
        juce::String json;
        const char* version;
    };

    const Case cases[] {
        { "moduleinfo.json with trailing commas and CR LF", moduleInfo, "1.0.4" },
        { "no moduleinfo.json", {}, "" },
        { "not JSON", "Version: 1.0.4", "" },
        { "version not a string", "{ \"Version\": 104 }", "" },
        { "nested far deeper than any module description",
          "{ \"Version\": \"1.0.4\", \"x\": " + juce::String::repeatedString ("[", 100000) + juce::String::repeatedString ("]", 100000) + " }", "" },
        { "larger than any module description", "{ \"Version\": \"1.0.4\", \"x\": \"" + juce::String::repeatedString ("x", 300000) + "\" }", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto bundle = temp / "vst3/Varnoly.vst3";
        bundle.getChildFile ("Contents/x86_64-linux").createDirectory();

        if (c.json.isNotEmpty())
            writeFile (bundle.getChildFile ("Contents/Resources/moduleinfo.json"), c.json);

        EXPECT_TRUE (qv::isFormatInstalled (temp / "vst3", "Varnoly", 0));
        EXPECT_EQ (qv::installedVersionOf (temp / "vst3", "Varnoly", 0), juce::String (c.version));
    }
}

TEST (InstalledStateLinux, ClapAndAaxShowNoVersionAndALinkCountsEvenWhenDangling)
{
    TempFolder temp;
    writeFile (temp / "clap/Varnoly.clap", "module");
    writeFile (temp / "aax/Varnoly.aaxplugin/Contents/x64/Varnoly.aaxplugin", "module");
    (temp / "vst3").createDirectory();
    ASSERT_TRUE ((temp / "nowhere").createSymbolicLink (temp / "vst3/Varnoly.vst3", false));

    for (int format = 0; format < 3; ++format)
    {
        const juce::File folder = temp / juce::StringArray { "vst3", "clap", "aax" }[format];
        EXPECT_TRUE (qv::isFormatInstalled (folder, "Varnoly", format)) << format;
        EXPECT_EQ (qv::installedVersionOf (folder, "Varnoly", format), "") << format;
    }
}

TEST (InstalledStateLinux, RealArchivesShowTheirStatus)
{
    const RealArchives archives;
    ASSERT_TRUE (archives.allRead()) << "the build makes them in " << QV_TEST_ARCHIVES_DIR;

    TempFolder temp;
    const std::array<juce::File, 3> folders { temp / "vst3", temp / "clap", temp / "aax" };
    ASSERT_TRUE (qv::processFormats ({ folders, "Varnoly", { true, true, true }, false, archives.bytes() }).succeeded);

    const char* const expected[] { "v1.0.4 INSTALLED", "INSTALLED", "INSTALLED" };

    for (int format = 0; format < 3; ++format)
    {
        const auto& folder = folders[(size_t) format];
        EXPECT_EQ (qv::statusText (qv::isFormatInstalled (folder, "Varnoly", format),
                                   qv::installedVersionOf (folder, "Varnoly", format)),
                   juce::String (expected[format]));
    }
}

// Paint reads the version on every frame: a FIFO or a device where moduleinfo.json belongs must
// read as no version at once, never block the window.
TEST (InstalledStateLinux, AModuleInfoThatIsNoRegularFileNeverBlocks)
{
    for (const char* kind : { "fifo", "link to a fifo", "link to an endless device" })
    {
        SCOPED_TRACE (kind);
        TempFolder temp;
        const auto info = temp / "vst3/Varnoly.vst3/Contents/Resources/moduleinfo.json";
        info.getParentDirectory().createDirectory();
        const auto fifo = temp / "fifo";
        ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0644), 0);

        if (juce::String (kind) == "fifo")
            ASSERT_TRUE (fifo.moveFileTo (info));
        else
            ASSERT_TRUE ((juce::String (kind).endsWith ("fifo") ? fifo : juce::File ("/dev/zero")).createSymbolicLink (info, false));

        auto version = std::async (std::launch::async, [&] { return qv::installedVersionOf (temp / "vst3", "Varnoly", 0); });

        if (version.wait_for (std::chrono::seconds (10)) != std::future_status::ready)
        {
            // Let the blocked read go, so that the failure is reported rather than hanging.
            const int writer = ::open (info.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
            ::close (writer);
            FAIL() << "reading the version blocked";
        }

        EXPECT_EQ (version.get(), "");
    }
}
