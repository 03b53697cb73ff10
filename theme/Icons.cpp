#include "Icons.h"
#include "Palette.h"

namespace qv
{
    std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size)
    {
        return juce::Drawable::createFromImageData (data, (size_t) size);
    }

    std::unique_ptr<juce::Drawable> loadRecolouredIcon (const char* data, int size)
    {
        auto icon = loadIcon (data, size);

        if (icon != nullptr)
            icon->replaceColour (juce::Colours::black, colourIcon);

        return icon;
    }
}
