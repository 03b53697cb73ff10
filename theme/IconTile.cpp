#include "IconTile.h"
#include "Palette.h"

namespace qv
{
    void drawIconTile (juce::Graphics& g, const juce::Button& button, const juce::Drawable* icon,
                       float cornerSize, float iconInset)
    {
        const auto bounds = button.getBounds().toFloat();

        if (button.isMouseButtonDown (false))
            g.setColour (colourActive);
        else if (button.isMouseOver (false))
            g.setColour (colourText.withAlpha (0.75f));
        else
            g.setColour (colourText.withAlpha (0.5f));

        g.fillRoundedRectangle (bounds, cornerSize);

        if (icon != nullptr)
            icon->drawWithin (g, bounds.reduced (iconInset), juce::RectanglePlacement::centred, 1.0f);
    }
}
