#include "FolderAccess.h"

namespace qv
{
    juce::File nearestExistingFolder (const juce::File& folder)
    {
        auto f = folder;

        while (! f.isDirectory() && f.getParentDirectory() != f)
            f = f.getParentDirectory();

        return f;
    }
}
