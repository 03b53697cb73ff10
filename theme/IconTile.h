#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv
{
    /** The look of a transparent icon button, drawn by its owner from the button's live mouse
        state: active while pressed, brighter grey while hovered, half grey otherwise; then the
        icon fitted into the bounds reduced by `iconInset`. A missing icon is skipped. */
    void drawIconTile (juce::Graphics& g, const juce::Button& button, const juce::Drawable* icon,
                       float cornerSize, float iconInset);
}
