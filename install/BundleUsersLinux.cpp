#include "BundleUsers.h"
#include <set>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qv::platform
{
    namespace
    {
        using FileId = std::pair<dev_t, ino_t>;

        // Files are told apart by device and inode, which a link or a rename does not change.
        std::set<FileId> filesOf (const juce::File& bundle)
        {
            std::set<FileId> ids;
            juce::Array<juce::File> files { bundle };

            if (bundle.isDirectory() && ! bundle.isSymbolicLink())
                files.addArray (bundle.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no));

            for (const auto& file : files)
            {
                struct stat info = {};

                if (::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode))
                    ids.insert ({ info.st_dev, info.st_ino });
            }

            return ids;
        }

        // A line of /proc/<pid>/maps: "start-end perms offset major:minor inode path".
        bool mapsLineNames (const juce::String& line, const std::set<FileId>& ids)
        {
            const auto fields = juce::StringArray::fromTokens (line, " ", {});

            if (fields.size() < 6)
                return false;

            const auto device = fields[3];
            const auto major = (unsigned) device.upToFirstOccurrenceOf (":", false, false).getHexValue32();
            const auto minor = (unsigned) device.fromFirstOccurrenceOf (":", false, false).getHexValue32();
            const auto inode = (ino_t) fields[4].getLargeIntValue();

            return inode != 0 && ids.count ({ makedev (major, minor), inode }) > 0;
        }

        bool mapsAnyOf (const juce::File& process, const std::set<FileId>& ids)
        {
            juce::StringArray lines;
            lines.addLines (process.getChildFile ("maps").loadFileAsString());

            for (const auto& line : lines)
                if (mapsLineNames (line, ids))
                    return true;

            return false;
        }

        bool hasAnyOpen (const juce::File& process, const std::set<FileId>& ids)
        {
            for (const auto& fd : process.getChildFile ("fd").findChildFiles (juce::File::findFilesAndDirectories, false, "*",
                                                                              juce::File::FollowSymlinks::no))
            {
                struct stat info = {};

                if (::stat (fd.getFullPathName().toRawUTF8(), &info) == 0 && ids.count ({ info.st_dev, info.st_ino }) > 0)
                    return true;
            }

            return false;
        }

        juce::String nameOf (const juce::File& process)
        {
            const auto exe = process.getChildFile ("exe").getLinkedTarget();

            if (exe != process.getChildFile ("exe"))
                return exe.getFileName().upToFirstOccurrenceOf (" (deleted)", false, false);

            return process.getChildFile ("comm").loadFileAsString().trim();
        }
    }

    juce::StringArray programsUsing (const juce::File& bundle)
    {
        juce::StringArray names;
        const auto ids = filesOf (bundle);

        if (ids.empty())
            return names;

        const auto self = juce::String ((int) ::getpid());

        // Processes that cannot be read (another account's, or gone meanwhile) are skipped.
        for (const auto& process : juce::File ("/proc").findChildFiles (juce::File::findDirectories, false, "*",
                                                                        juce::File::FollowSymlinks::no))
        {
            const auto pid = process.getFileName();

            if (! pid.containsOnly ("0123456789") || pid == self)
                continue;

            if (mapsAnyOf (process, ids) || hasAnyOpen (process, ids))
                names.addIfNotAlreadyThere (nameOf (process));
        }

        names.removeEmptyStrings();
        return names;
    }

    bool programsInUseBlockChanges() { return false; }
}
