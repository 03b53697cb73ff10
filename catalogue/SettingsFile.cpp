#include "SettingsFile.h"
#include "Catalogue.h"
#include "SmallFileRead.h"

namespace qv
{
    const char* const settingsNote = productfacts::settingsNote;

    juce::File settingsFolderUnder (const juce::File& parent)
    {
        return parent.getChildFile (maker::folderName);
    }

    juce::File settingsFileIn (const juce::File& settingsFolder)
    {
        return settingsFolder.getChildFile ("PluginManagerSettings.txt");
    }

    juce::String settingsAttributeFor (int formatIndex)
    {
        static const juce::StringArray names { "VST3_Path", "CLAP_Path", "AAX_Path" };
        return names[formatIndex];
    }

    bool writeSettingsFile (const juce::File& file, const std::array<juce::String, 3>& folderPaths)
    {
        juce::XmlElement settings ("Plugin_Manager_Settings");
        settings.setAttribute ("Important_Note:", settingsNote);

        // CLAP, VST3, AAX: the attribute order every installer of the maker writes.
        for (auto index : { 1, 0, 2 })
            settings.setAttribute (settingsAttributeFor (index), folderPaths[(size_t) index]);

        return settings.writeTo (file, juce::XmlElement::TextFormat());
    }

    std::unique_ptr<juce::XmlElement> parseSettingsFile (const juce::File& file)
    {
        const auto bytes = platform::readSmallRegularFile (file, settingsLimits::maxFileBytes);

        if (! bytes.has_value())
            return {};

        // Decoded here rather than by parseXML (File), which would also let a DTD pull in other files.
        const auto text = juce::String::createStringFromData (bytes->getData(), (int) bytes->getSize());

        // JUCE's entity expansion can run without end and without a memory bound, and its parser
        // recurses once per nesting level; the settings file needs neither a DTD nor nesting.
        if (text.containsIgnoreCase ("<!DOCTYPE"))
            return {};

        int tagOpenings = 0;

        for (auto c : text)
            if (c == '<' && ++tagOpenings > settingsLimits::maxTagOpenings)
                return {};

        return juce::parseXML (text);
    }

    bool isUsableFolderPath (const juce::String& text)
    {
        const auto separator = juce::File::getSeparatorChar();
        const auto path = text.replaceCharacter ('/', separator);

        // "~" would resolve against the elevated process's home, not the user's.
        if (! juce::File::isAbsolutePath (path) || path.startsWithChar ('~'))
            return false;

        // Forms that Windows treats as rooted but resolves against a working folder: "C:folder" and
        // "\folder". Neither shape passes the test above on other systems.
        if (juce::CharacterFunctions::isLetter (path[0]) && path[1] == ':' && path[2] != separator)
            return false;

        return ! (path[0] == '\\' && path[1] != '\\');
    }

    std::array<juce::File, 3> readOrWriteSettings (const juce::File& settingsFolder,
                                                   const std::array<juce::File, 3>& defaults)
    {
        const auto file = settingsFileIn (settingsFolder);

        if (file.existsAsFile())
        {
            auto folders = defaults;

            if (auto settings = parseSettingsFile (file))
            {
                for (int index = 0; index < numFormats; ++index)
                {
                    const auto path = settings->getStringAttribute (settingsAttributeFor (index));

                    if (! isUsableFolderPath (path))
                        continue;

                    auto& folder = folders[(size_t) index];
                    folder = juce::File (path);

                    // A folder that cannot be created stays the format's folder; installing then fails.
                    if (! folder.exists())
                        folder.createDirectory();
                }
            }

            return folders;
        }

        // Anything else at that path (a folder, a dangling link) is left alone rather than replaced.
        if (! file.exists() && ! file.isSymbolicLink())
            writeSettingsFile (file, { defaults[0].getFullPathName(), defaults[1].getFullPathName(), defaults[2].getFullPathName() });

        return defaults;
    }
}
