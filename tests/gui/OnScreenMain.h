#pragma once

#include "RealMouse.h"
#include "main_component/MainComponent.h"
#include <gtest/gtest.h>

namespace qvtest
{
    /** The main component on the virtual screen at the origin (so its bounds equal its local bounds,
        as in the window), its three format folders in a fresh temporary folder, nothing selected
        and the pointer off the window. */
    class OnScreenMain : public ::testing::Test
    {
    protected:
        void SetUp() override;
        void TearDown() override;

        /** Creates what makes a format count as installed: its bundle in the format folder. */
        void makeInstalled (int formatIndex) const;

        juce::Image render() const;
        juce::Image render (int size);

        juce::TextButton& buttonNamed (const juce::String& name) const;

        juce::File root;
        std::unique_ptr<MainComponent> main;
        std::unique_ptr<RealMouse> mouse;
    };
}
