#include "GuiTestSupport.h"
#include "catalogue/Catalogue.h"
#include "install/InstalledState.h"
#include <cstdlib>

// JUCE's own message loop step; runDispatchLoopUntil, which wraps it, is compiled out of builds
// without modal loops, as ours are.
namespace juce
{
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace qvtest
{
//==============================================================================
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

//==============================================================================
RepaintProbe::RepaintProbe (juce::Component& parent, juce::Point<int> position)
{
    setInterceptsMouseClicks (false, false);
    setBounds (juce::Rectangle<int> (1, 1).withPosition (position));
    parent.addAndMakeVisible (this);
}

void RepaintProbe::flush()
{
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();

    paints = 0;
}

bool RepaintProbe::repaintedSinceFlush()
{
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();

    return std::exchange (paints, 0) > 0;
}

//==============================================================================
LinkRecorder::LinkRecorder()
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("qv-links", {}, false)),
      log (folder.getChildFile ("links.txt")),
      previousPath (juce::SystemStats::getEnvironmentVariable ("PATH", {}))
{
    folder.createDirectory();

    const auto recorder = folder.getChildFile ("xdg-open");
    recorder.replaceWithText ("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.getFullPathName() + "'\n");
    recorder.setExecutePermission (true);

    ::setenv ("PATH", (folder.getFullPathName() + ":" + previousPath).toRawUTF8(), 1);
}

LinkRecorder::~LinkRecorder()
{
    ::setenv ("PATH", previousPath.toRawUTF8(), 1);
    folder.deleteRecursively();
}

juce::StringArray LinkRecorder::waitFor (int expected, int timeoutMs) const
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    juce::StringArray lines;

    for (;;)
    {
        lines = juce::StringArray::fromLines (log.loadFileAsString().trimEnd());
        lines.removeEmptyStrings();

        if (lines.size() >= expected || juce::Time::getMillisecondCounter() > deadline)
            return lines;

        juce::Thread::sleep (20);
    }
}

//==============================================================================
void OnScreenMain::SetUp()
{
    root = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("qv-gui", {}, false);
    ASSERT_TRUE (root.createDirectory());

    main = std::make_unique<MainComponent>();
    main->formatPaths = { root.getChildFile ("vst3"), root.getChildFile ("clap"), root.getChildFile ("aax") };
    main->formatSelected = { false, false, false };

    main->setTopLeftPosition (0, 0);
    main->addToDesktop (0);
    main->setVisible (true);
    ASSERT_NE (main->getPeer(), nullptr);
    ASSERT_EQ (main->getBounds(), juce::Rectangle<int> (0, 0, 600, 600));

    mouse = std::make_unique<RealMouse> (*main);
    mouse->leave();
}

void OnScreenMain::TearDown()
{
    if (mouse != nullptr)
        mouse->leave();

    juce::Desktop::getInstance().getAnimator().cancelAllAnimations (false);
    mouse = nullptr;
    main = nullptr;
    juce::ModifierKeys::currentModifiers = {};
    root.deleteRecursively();
}

void OnScreenMain::makeInstalled (int formatIndex) const
{
    const auto bundle = qv::bundleFileFor (main->formatPaths[(size_t) formatIndex], main->productName, formatIndex);
    ASSERT_TRUE (bundle.createDirectory());
}

juce::Image OnScreenMain::render() const
{
    return main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f);
}

juce::Image OnScreenMain::render (int size)
{
    main->setSize (size, size);
    return render();
}

juce::TextButton& OnScreenMain::buttonNamed (const juce::String& name) const
{
    for (auto* child : main->getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getName() == name)
            return *button;

    ADD_FAILURE() << "no button named " << name;
    return *main->installButton;
}

//==============================================================================
juce::Colour over (juce::Colour background, juce::Colour fill)
{
    return background.overlaidWith (fill);
}

::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance)
{
    const auto actual = image.getPixelAt (x, y);
    const auto close = [tolerance] (int a, int b) { return std::abs (a - b) <= tolerance; };

    if (actual.getAlpha() == 255
        && close (actual.getRed(), expected.getRed())
        && close (actual.getGreen(), expected.getGreen())
        && close (actual.getBlue(), expected.getBlue()))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << actual.toDisplayString (true)
                                         << ", expected " << expected.toDisplayString (true);
}

juce::Colour brightest (const juce::Image& image, juce::Rectangle<int> area)
{
    juce::Colour best;
    int bestSum = -1;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            const auto sum = c.getRed() + c.getGreen() + c.getBlue();

            if (sum > bestSum)
            {
                best = c;
                bestSum = sum;
            }
        }

    return best;
}

int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance)
{
    int count = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = image.getPixelAt (x, y);

            if (std::abs (c.getRed() - colour.getRed()) <= tolerance
                && std::abs (c.getGreen() - colour.getGreen()) <= tolerance
                && std::abs (c.getBlue() - colour.getBlue()) <= tolerance)
                ++count;
        }

    return count;
}

void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}
}
