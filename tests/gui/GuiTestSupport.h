#pragma once

#include "main_component/MainComponent.h"
#include <gtest/gtest.h>

namespace qvtest
{
    /** The mouse as X drives it: moves the real pointer (JUCE asks the X server where the pointer
        is for hover) and hands the window's peer the same events the X event loop would. */
    class RealMouse
    {
    public:
        /** `window` must be on the desktop. */
        explicit RealMouse (juce::Component& window);

        void moveTo (juce::Point<int> screenPosition);
        void moveOver (const juce::Component& target);
        void moveOver (const juce::Component& target, juce::Point<int> localPosition);
        void press();
        void release();
        void click (const juce::Component& target);

        /** Moves the pointer off the window, so nothing is hovered. */
        void leave();

    private:
        void send();

        juce::Component& window;
        juce::Point<int> position;
        bool buttonDown = false;
    };

    /** Records the links the program hands to xdg-open, which JUCE runs on Linux to open a URL, by
        putting a recording xdg-open first on PATH. No browser is ever started. */
    class LinkRecorder
    {
    public:
        LinkRecorder();
        ~LinkRecorder();

        /** The links recorded so far, waiting up to `timeoutMs` for at least `expected` of them. */
        juce::StringArray waitFor (int expected, int timeoutMs = 5000) const;

    private:
        juce::File folder, log;
        juce::String previousPath;
    };

    /** A one-pixel child that counts its paints, to see whether its parent was repainted as a
        whole. It sits where no button lies, so only whole-screen repaints reach it. */
    class RepaintProbe final : public juce::Component
    {
    public:
        explicit RepaintProbe (juce::Component& parent, juce::Point<int> position);

        /** Paints whatever is pending on the window now, and forgets earlier paints. */
        void flush();

        /** Paints what is pending and says whether that included the probe. */
        bool repaintedSinceFlush();

        void paint (juce::Graphics&) override { ++paints; }

    private:
        int paints = 0;
    };

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

    /** The colour a translucent fill shows over an opaque background. */
    juce::Colour over (juce::Colour background, juce::Colour fill);

    /** True when every channel of the pixel is within `tolerance` of the expected opaque colour. */
    ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance = 2);

    /** The brightest pixel (by summed channels) inside an area. */
    juce::Colour brightest (const juce::Image& image, juce::Rectangle<int> area);

    /** How many pixels inside an area are within `tolerance` of a colour. */
    int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 8);

    /** Runs the message loop for a while: timers, the animator, async calls. */
    void pumpMessages (int milliseconds);
}
