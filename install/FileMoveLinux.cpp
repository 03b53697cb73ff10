#include "FileMove.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace qv::platform
{
    static juce::Result failure (const juce::File& source, const juce::File& target, int error)
    {
        return juce::Result::fail ("Could not move " + source.getFullPathName() + " to "
                                   + target.getFullPathName() + ": " + juce::String (std::strerror (error)));
    }

    juce::Result moveWithoutReplacing (const juce::File& source, const juce::File& target)
    {
        const auto from = source.getFullPathName();
        const auto to = target.getFullPathName();

        if (::renameat2 (AT_FDCWD, from.toRawUTF8(), AT_FDCWD, to.toRawUTF8(), RENAME_NOREPLACE) == 0)
            return juce::Result::ok();

        if (errno != EINVAL)
            return failure (source, target, errno);

        // The file system cannot refuse replacement itself; plain rename() would replace a file or an
        // empty folder, so look first.
        if (target.exists() || target.isSymbolicLink())
            return failure (source, target, EEXIST);

        if (std::rename (from.toRawUTF8(), to.toRawUTF8()) == 0)
            return juce::Result::ok();

        return failure (source, target, errno);
    }
}
