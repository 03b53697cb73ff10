#include "TempFolder.h"
#include "catalogue/SettingsFile.h"
#include <gtest/gtest.h>

namespace
{
    struct SettingsFileTest : ::testing::Test
    {
        TempFolder temp;
        const juce::File makerFolder = temp / "Quorvane";
        const juce::File settingsFile = makerFolder.getChildFile ("PluginManagerSettings.txt");
        const std::array<juce::File, 3> defaults { temp / "defaults/vst3", temp / "defaults/clap", temp / "defaults/aax" };

        // The temporary folder written with "/", as a user editing the file by hand might.
        juce::String withTemp (const juce::String& text) const
        {
            return text.replace ("@", temp.folder.getFullPathName().replaceCharacter ('\\', '/'));
        }

        juce::MemoryBlock fileBytes() const
        {
            juce::MemoryBlock block;
            settingsFile.loadFileAsData (block);
            return block;
        }
    };

    const char* const windowsWorkedExample =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "\r\n"
        "<Plugin_Manager_Settings Important_Note:=\"These are the paths that all Quorvane installers will use for "
        "their respective formats. Edit them to personal taste, but keep in mind that some formats have specific "
        "homes. Use this feature at your own risk; follow the naming and separator conventions exactly as you see "
        "them, or you could end up with unintended consequences. If you delete this file, the next time you run the "
        "Plugin Manager for any QV product, a new one with the default locations will be written.\"\r\n"
        "                         CLAP_Path=\"C:\\Program Files\\Common Files\\CLAP\" VST3_Path=\"C:\\Program Files\\Common Files\\VST3\"\r\n"
        "                         AAX_Path=\"C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins\"/>\r\n";
}

TEST_F (SettingsFileTest, LivesInTheMakerFolderUnderTheSharedDataFolder)
{
    EXPECT_EQ (qv::settingsFolderUnder (temp.folder), temp / "Quorvane");
    EXPECT_EQ (qv::settingsFileIn (makerFolder), settingsFile);
}

TEST_F (SettingsFileTest, NewFileIsTheWorkedExampleByteForByte)
{
    makerFolder.createDirectory();

    ASSERT_TRUE (qv::writeSettingsFile (settingsFile, { "C:\\Program Files\\Common Files\\VST3", "C:\\Program Files\\Common Files\\CLAP", "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins" }));

    const auto written = fileBytes();
    EXPECT_EQ (written.getSize(), 762u);
    EXPECT_EQ (written.toString().toStdString(), std::string (windowsWorkedExample));

    // The write goes through a temporary file that replaces the target; none is left behind.
    EXPECT_EQ (makerFolder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST_F (SettingsFileTest, ValuesAreEscapedAndReadBackUnchanged)
{
    makerFolder.createDirectory();
    const auto awkward = juce::String::fromUTF8 ("X:\\a&b\"c<d>e^f`g\rh\xc3\xa9i'j");

    ASSERT_TRUE (qv::writeSettingsFile (settingsFile, { awkward, "b", "c" }));

    EXPECT_TRUE (settingsFile.loadFileAsString().contains (
        " VST3_Path=\"X:\\a&amp;b&quot;c&lt;d&gt;e&#94;f&#96;g&#13;h&#233;i'j\""));

    const auto parsed = qv::parseSettingsFile (settingsFile);
    ASSERT_NE (parsed, nullptr);
    EXPECT_EQ (parsed->getStringAttribute ("VST3_Path"), awkward);
}

TEST_F (SettingsFileTest, ReadingTakesUsableFoldersCreatesThemAndNeverRewritesTheFile)
{
    struct Case
    {
        const char* name;
        const char* content;                 // "@" is the temporary folder
        std::array<const char*, 3> expected; // below the temporary folder; nullptr: the format's default
    };

    const Case cases[] {
        { "all three, missing parents", "<Plugin_Manager_Settings VST3_Path=\"@/p/VST3\" CLAP_Path=\"@/p/CLAP\" AAX_Path=\"@/p/Avid/Audio/Plug-Ins\"/>", { "p/VST3", "p/CLAP", "p/Avid/Audio/Plug-Ins" } },
        { "as written, header, note and CR LF", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Plugin_Manager_Settings Important_Note:=\"x\"\r\n"
                                                "                         CLAP_Path=\"@/w/clap\" VST3_Path=\"@/w/vst3\"\r\n"
                                                "                         AAX_Path=\"@/w/aax\"/>\r\n",
          { "w/vst3", "w/clap", "w/aax" } },
        { "other root tag, children and other attributes", "<Other Extra=\"1\" AAX_Path=\"@/o/aax\" VST3_Path=\"@/o/vst3\" CLAP_Path=\"@/o/clap\"><Child VST3_Path=\"@/no\"/></Other>", { "o/vst3", "o/clap", "o/aax" } },
        { "references decoded", "<S VST3_Path=\"@/a&amp;b/v&#51;\" CLAP_Path=\"@/&#x63;lap\" AAX_Path=\"@/&apos;aax&apos;\"/>", { "a&b/v3", "clap", "'aax'" } },
        { "missing attribute", "<S VST3_Path=\"@/m/vst3\" CLAP_Path=\"@/m/clap\"/>", { "m/vst3", "m/clap", nullptr } },
        { "empty attribute", "<S VST3_Path=\"\" CLAP_Path=\"@/e/clap\" AAX_Path=\"@/e/aax\"/>", { nullptr, "e/clap", "e/aax" } },
        { "relative folder", "<S VST3_Path=\"@/r/vst3\" CLAP_Path=\"plugins/clap\" AAX_Path=\"./aax\"/>", { "r/vst3", nullptr, nullptr } },
        { "home folder", "<S VST3_Path=\"~/vst3\" CLAP_Path=\"~\" AAX_Path=\"@/h/aax\"/>", { nullptr, nullptr, "h/aax" } },
        { "not XML", "VST3_Path=@/x", { nullptr, nullptr, nullptr } },
        { "empty file", "", { nullptr, nullptr, nullptr } },
        { "unterminated value", "<S VST3_Path=\"@/u/vst3\" CLAP_Path=\"@/u/clap", { nullptr, nullptr, nullptr } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder caseTemp;
        const auto folder = caseTemp / "Quorvane";
        const auto file = folder.getChildFile ("PluginManagerSettings.txt");
        const auto cwd = caseTemp / "cwd";
        const std::array<juce::File, 3> caseDefaults { caseTemp / "d/vst3", caseTemp / "d/clap", caseTemp / "d/aax" };
        const auto content = juce::String (c.content).replace ("@", caseTemp.folder.getFullPathName().replaceCharacter ('\\', '/'));

        folder.createDirectory();
        cwd.createDirectory();
        file.replaceWithText (content, false, false, nullptr);
        const auto before = file.loadFileAsString();

        // Relative paths would land here if they were ever taken.
        const auto previousCwd = juce::File::getCurrentWorkingDirectory();
        cwd.setAsCurrentWorkingDirectory();
        const auto folders = qv::readOrWriteSettings (folder, caseDefaults);
        previousCwd.setAsCurrentWorkingDirectory();

        for (size_t i = 0; i < 3; ++i)
        {
            SCOPED_TRACE (i);

            if (c.expected[i] == nullptr)
            {
                EXPECT_EQ (folders[i], caseDefaults[i]);
                EXPECT_FALSE (folders[i].exists()) << "a default stands in; it is not created here";
            }
            else
            {
                EXPECT_EQ (folders[i], caseTemp / c.expected[i]);
                EXPECT_TRUE (folders[i].isDirectory());
            }
        }

        EXPECT_EQ (file.loadFileAsString(), before);
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
        EXPECT_EQ (cwd.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}

TEST_F (SettingsFileTest, ByteOrderMarksAndUtf16AreRead)
{
    const auto content = withTemp (juce::String::fromUTF8 ("<S VST3_Path=\"@/v\xc3\xa9/vst3\" CLAP_Path=\"@/clap\" AAX_Path=\"@/aax\"/>"));

    const auto encode = [&content] (const char* mark, bool utf16, bool bigEndian) {
        juce::MemoryOutputStream out;
        out << mark;

        if (! utf16)
            out << content;

        for (auto c : content)
            if (utf16)
                bigEndian ? out.writeShortBigEndian ((short) c) : out.writeShort ((short) c);

        return out.getMemoryBlock();
    };

    struct Case
    {
        const char* name;
        juce::MemoryBlock bytes;
    };
    const Case cases[] { { "UTF-8", encode ("", false, false) },
                         { "UTF-8 with BOM", encode ("\xef\xbb\xbf", false, false) },
                         { "UTF-16 LE with BOM", encode ("\xff\xfe", true, false) },
                         { "UTF-16 BE with BOM", encode ("\xfe\xff", true, true) } };

    makerFolder.createDirectory();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        settingsFile.replaceWithData (c.bytes.getData(), c.bytes.getSize());

        const auto folders = qv::readOrWriteSettings (makerFolder, defaults);
        EXPECT_EQ (folders[0], temp / juce::String::fromUTF8 ("v\xc3\xa9/vst3"));
        EXPECT_EQ (folders[1], temp / "clap");
    }
}

TEST_F (SettingsFileTest, AbsentFileIsWrittenWithTheDefaultsWhenTheMakerFolderExists)
{
    makerFolder.createDirectory();

    EXPECT_EQ (qv::readOrWriteSettings (makerFolder, defaults), defaults);

    ASSERT_TRUE (settingsFile.existsAsFile());
    const auto text = settingsFile.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Plugin_Manager_Settings Important_Note:=\""));
    EXPECT_TRUE (text.endsWith ("\"/>\r\n"));
    EXPECT_TRUE (text.contains (juce::String (qv::settingsNote)));

    for (const auto& folder : defaults)
        EXPECT_FALSE (folder.exists()) << "writing the file creates no install folder";

    // The next run reads what this one wrote.
    const auto modified = settingsFile.getLastModificationTime();
    EXPECT_EQ (qv::readOrWriteSettings (makerFolder, { temp / "x", temp / "y", temp / "z" }), defaults);
    EXPECT_EQ (settingsFile.getLastModificationTime(), modified);
}

TEST_F (SettingsFileTest, NothingIsWrittenWhereTheFileCannotGo)
{
    struct Case
    {
        const char* name;
        bool makerFolder;
        bool folderInPlace;
        bool folderHoldsFiles;
    };
    const Case cases[] { { "maker folder missing", false, false, false },
                         { "empty folder in place of the file", true, true, false },
                         { "full folder in place of the file", true, true, true } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder caseTemp;
        const auto folder = caseTemp / "Quorvane";
        const auto file = folder.getChildFile ("PluginManagerSettings.txt");

        if (c.makerFolder)
            folder.createDirectory();

        if (c.folderInPlace)
            file.createDirectory();

        if (c.folderHoldsFiles)
            file.getChildFile ("keep.txt").replaceWithText ("keep");

        EXPECT_EQ (qv::readOrWriteSettings (folder, defaults), defaults);

        EXPECT_EQ (folder.exists(), c.makerFolder) << "the maker folder is never created";
        EXPECT_EQ (file.isDirectory(), c.folderInPlace) << "a folder in the file's place stays";
        EXPECT_EQ (file.getChildFile ("keep.txt").existsAsFile(), c.folderHoldsFiles);

        if (c.makerFolder)
        {
            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
        }
    }
}

TEST_F (SettingsFileTest, OnlyFoldersThatNameThemselvesAreUsable)
{
    const auto absolute = temp.folder.getFullPathName();

    struct Case
    {
        juce::String text;
        bool usable;
    };
    const Case cases[] { { "", false }, { "plugins", false }, { "./plugins", false }, { "../plugins", false }, { "~", false }, { "~/plugins", false }, { "C:plugins", false }, { "\\plugins", false }, { absolute, true }, { absolute.replaceCharacter ('\\', '/'), true } };

    for (const auto& c : cases)
        EXPECT_EQ (qv::isUsableFolderPath (c.text), c.usable) << c.text;
}
