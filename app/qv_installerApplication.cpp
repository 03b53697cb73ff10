#include "qv_installerApplication.h"
#include "WindowRepaint.h"
#include "catalogue/Catalogue.h"
#include "main_component/MainComponent.h"

qv_installerApplication::~qv_installerApplication()
{
    mainWindow = nullptr;
}

const juce::String qv_installerApplication::getApplicationName() { return qv::installer::name; }
const juce::String qv_installerApplication::getApplicationVersion() { return qv::installer::version; }
bool qv_installerApplication::moreThanOneInstanceAllowed() { return true; }

// The installer takes no arguments; whatever it is given is ignored.
void qv_installerApplication::initialise (const juce::String&)
{
    mainWindow = std::make_unique<MainWindow> (getApplicationName());
}

void qv_installerApplication::shutdown()
{
    mainWindow = nullptr;
}

void qv_installerApplication::anotherInstanceStarted (const juce::String&) {}

void qv_installerApplication::systemRequestedQuit()
{
    quit();
}

// The background colour is taken before the main component installs its look-and-feel,
// so it is the framework's stock one.
qv_installerApplication::MainWindow::MainWindow (juce::String name)
    : DocumentWindow (name,
                      juce::Desktop::getInstance().getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
                      DocumentWindow::allButtons,
                      true)
{
    setUsingNativeTitleBar (true);
    setContentOwned (new MainComponent(), true);
    setResizable (true, true);
    getConstrainer()->setFixedAspectRatio (1.0);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
    qv::platform::keepWindowRepainting (*this);
}

void qv_installerApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
