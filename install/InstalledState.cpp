#include "InstalledState.h"
#include "BundleSiblings.h"
#include "PluginVersion.h"
#include "catalogue/Catalogue.h"

namespace qv
{
    juce::File bundleFileFor (const juce::File& formatFolder, const juce::String& productName, int formatIndex)
    {
        return formatFolder.getChildFile (productName + formatExtensions[formatIndex]);
    }

    bool isFormatInstalled (const juce::File& formatFolder, const juce::String& productName, int formatIndex)
    {
        // A link counts whatever it points at, even nothing: something is at the bundle path.
        return existsAtAll (bundleFileFor (formatFolder, productName, formatIndex));
    }

    juce::String installedVersionOf (const juce::File& formatFolder, const juce::String& productName, int formatIndex)
    {
        return platform::pluginVersionOf (bundleFileFor (formatFolder, productName, formatIndex), formatIndex);
    }

    juce::String statusText (bool installed, const juce::String& version)
    {
        if (! installed)
            return "NOT INSTALLED";

        return (version.isNotEmpty() ? "v" + version + " " : juce::String()) + "INSTALLED";
    }
}
