#include "FileMove.h"
#include <windows.h>

namespace qv::platform
{
    juce::Result moveWithoutReplacing (const juce::File& source, const juce::File& target)
    {
        // Without MOVEFILE_REPLACE_EXISTING the move fails when anything is at the target; a
        // reparse point is moved as itself.
        if (MoveFileExW (source.getFullPathName().toWideCharPointer(),
                         target.getFullPathName().toWideCharPointer(), 0))
            return juce::Result::ok();

        const auto error = GetLastError();
        return juce::Result::fail ("Could not move " + source.getFullPathName() + " to "
                                   + target.getFullPathName() + " (error " + juce::String ((int) error) + ")");
    }
}
