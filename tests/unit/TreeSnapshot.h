#pragma once

#include <juce_core/juce_core.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

/** What lies at a path, without following links: relative path -> kind and content digest.
    Comparing two snapshots shows any file added, removed or changed anywhere below. */
using TreeSnapshot = std::map<std::string, std::string>;

inline std::string digestOf (const juce::File& file)
{
    juce::FileInputStream in (file);
    juce::uint64 hash = 14695981039346656037ull;
    char buffer[65536];

    for (int n; (n = in.read (buffer, (int) sizeof (buffer))) > 0;)
        for (int i = 0; i < n; ++i)
            hash = (hash ^ (juce::uint8) buffer[i]) * 1099511628211ull;

    return "file " + std::to_string (file.getSize()) + " " + juce::String::toHexString ((juce::int64) hash).toStdString();
}

inline void addToSnapshot (TreeSnapshot& snapshot, const juce::File& entry, const std::string& relative)
{
    if (entry.isSymbolicLink())
    {
        snapshot[relative] = "link -> " + entry.getNativeLinkedTarget().toStdString();
    }
    else if (entry.isDirectory())
    {
        snapshot[relative] = "folder";

        for (const auto& child : entry.findChildFiles (juce::File::findFilesAndDirectories, false))
            addToSnapshot (snapshot, child, relative + "/" + child.getFileName().toStdString());
    }
    else if (entry.exists())
    {
        snapshot[relative] = digestOf (entry);
    }
}

inline TreeSnapshot snapshotOf (const juce::File& entry)
{
    TreeSnapshot snapshot;
    addToSnapshot (snapshot, entry, ".");
    return snapshot;
}

/** Writes `text` exactly as given (no line-ending conversion), creating the parent folders. */
inline bool writeFile (const juce::File& file, const juce::String& text)
{
    return file.getParentDirectory().createDirectory().wasOk() && file.replaceWithText (text, false, false, nullptr);
}

/** Files by relative path ("/" separators) and content. */
using TreeContents = std::vector<std::pair<juce::String, juce::String>>;
