#include "BareWindowApplication.h"

void BareWindowApplication::initialise (const juce::String&)
{
    window = std::make_unique<Window> (getApplicationName());
}

void BareWindowApplication::shutdown()
{
    window = nullptr;
}

void BareWindowApplication::systemRequestedQuit()
{
    quit();
}

BareWindowApplication::Window::Window (const juce::String& name)
    : DocumentWindow (name,
                      juce::Desktop::getInstance().getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
                      DocumentWindow::allButtons,
                      true)
{
    auto content = std::make_unique<juce::Component>();
    content->setSize (600, 600);

    setUsingNativeTitleBar (true);
    setContentOwned (content.release(), true);
    setResizable (true, true);
    getConstrainer()->setFixedAspectRatio (1.0);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

void BareWindowApplication::Window::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
