#include "BundleSiblings.h"

namespace qv
{
    BundleSiblings siblingsOf (const juce::File& bundle)
    {
        const auto hidden = "." + bundle.getFileName() + ".qv-";
        return { bundle.getSiblingFile (hidden + "staging"),
                 bundle.getSiblingFile (hidden + "previous"),
                 bundle.getSiblingFile (hidden + "removing") };
    }

    bool existsAtAll (const juce::File& f)
    {
        return f.exists() || f.isSymbolicLink();
    }

    juce::Result removeEntirely (const juce::File& f)
    {
        if (! existsAtAll (f))
            return juce::Result::ok();

        f.deleteRecursively (false);

        if (existsAtAll (f))
            return juce::Result::fail ("Could not delete all of " + f.getFullPathName());

        return juce::Result::ok();
    }
}
