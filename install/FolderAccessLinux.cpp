#include "FolderAccess.h"
#include <sys/statvfs.h>
#include <unistd.h>

namespace qv::platform
{
    // access() answers for this process's own rights, and with EROFS on a read-only mount even for root.
    bool canCreateEntriesIn (const juce::File& folder)
    {
        return ::access (nearestExistingFolder (folder).getFullPathName().toRawUTF8(), W_OK | X_OK) == 0;
    }

    std::optional<juce::int64> bytesFreeFor (const juce::File& folder)
    {
        struct statvfs info = {};

        if (::statvfs (nearestExistingFolder (folder).getFullPathName().toRawUTF8(), &info) != 0)
            return {};

        // f_bavail leaves out the blocks kept back for root, as root's own writes would use them last.
        return (juce::int64) info.f_bavail * (juce::int64) info.f_frsize;
    }
}
