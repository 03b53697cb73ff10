#include "RealMouse.h"
#include <gtest/gtest.h>

namespace qvtest
{
    RealMouse::RealMouse (juce::Component& w) : window (w)
    {
        jassert (window.getPeer() != nullptr);
    }

    void RealMouse::send()
    {
        auto* peer = window.getPeer();
        ASSERT_NE (peer, nullptr);

        const auto mods = juce::ModifierKeys::currentModifiers.withoutMouseButtons()
                              .withFlags (buttonDown ? juce::ModifierKeys::leftButtonModifier : 0);
        juce::ModifierKeys::currentModifiers = mods;

        juce::Desktop::getInstance().getMainMouseSource().setScreenPosition (position.toFloat());
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                peer->globalToLocal (position.toFloat()),
                                mods,
                                juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
    }

    void RealMouse::moveTo (juce::Point<int> screenPosition)
    {
        position = screenPosition;
        send();
    }

    void RealMouse::moveOver (const juce::Component& target)
    {
        moveOver (target, target.getLocalBounds().getCentre());
    }

    void RealMouse::moveOver (const juce::Component& target, juce::Point<int> localPosition)
    {
        moveTo (target.localPointToGlobal (localPosition));
    }

    void RealMouse::press()
    {
        buttonDown = true;
        send();
    }

    void RealMouse::release()
    {
        buttonDown = false;
        send();
    }

    void RealMouse::click (const juce::Component& target)
    {
        moveOver (target);
        press();
        release();
    }

    void RealMouse::leave()
    {
        const auto screen = juce::Desktop::getInstance().getDisplays().getTotalBounds (true);
        moveTo (screen.getBottomRight() - juce::Point<int> (2, 2));
    }
}
