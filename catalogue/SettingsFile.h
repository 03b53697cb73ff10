#pragma once

#include <juce_core/juce_core.h>
#include <array>
#include <memory>

/** The settings file that all of the maker's installers share: it names each format's folder. */
namespace qv
{
    /** The maker's folder below `parent` (see platform::makerFolderParent). */
    juce::File settingsFolderUnder (const juce::File& parent);

    /** The settings file inside the maker's folder. */
    juce::File settingsFileIn (const juce::File& settingsFolder);

    /** Reads the settings file in `settingsFolder` and returns the folders it names (creating
        missing ones), or, when there is no such file, writes one holding `defaults` and returns
        them. Never rewrites a file it has read. A folder the file leaves empty, omits or gives as a
        relative path is replaced by that format's default, so that no format ever acts on the
        file system's root or on the working folder. */
    std::array<juce::File, 3> readOrWriteSettings (const juce::File& settingsFolder,
                                                   const std::array<juce::File, 3>& defaults);

    /** The attribute that names a format's folder, by format index ("VST3_Path", ...). */
    juce::String settingsAttributeFor (int formatIndex);

    /** The explanatory note every new settings file carries. */
    extern const char* const settingsNote;

    /** Writes a new settings file naming these folders (full path names, by format index) in the
        default XML text format. False when it could not be written. */
    bool writeSettingsFile (const juce::File& file, const std::array<juce::String, 3>& folderPaths);

    /** Parses a settings file, or returns nullptr when it is unreadable, malformed or beyond the
        bounds below. Nothing outside the file itself is ever read. */
    std::unique_ptr<juce::XmlElement> parseSettingsFile (const juce::File& file);

    /** True when `text` names a folder on its own, independent of any working folder or home. */
    bool isUsableFolderPath (const juce::String& text);

    namespace settingsLimits
    {
        /** The real file is under 1 KB; anything this large is not ours. */
        constexpr juce::int64 maxFileBytes = 64 * 1024;

        /** Bounds the parser's recursion: nesting can be no deeper than the number of tags. */
        constexpr int maxTagOpenings = 256;
    }
}
