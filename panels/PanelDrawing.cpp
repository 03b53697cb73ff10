#include "PanelDrawing.h"
#include "theme/Palette.h"

namespace qv
{
    void drawCloseMark (juce::Graphics& g, const juce::Button& closeButton, float scaleUnit)
    {
        const auto u = scaleUnit;
        const auto mark = closeButton.getBounds().toFloat().reduced (2.0f * u);

        g.setColour (closeButton.isMouseOver (false) ? colourText : colourText.withAlpha (0.5f));
        g.drawEllipse (mark, 0.25f * u);
        g.setFont (3.0f * u);
        g.drawText ("X", mark, juce::Justification::centred, true);
    }

    void detachFromParent (juce::Component& panel)
    {
        if (auto* parent = panel.getParentComponent())
            parent->removeChildComponent (&panel);
    }
}
