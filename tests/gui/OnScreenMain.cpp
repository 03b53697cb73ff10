#include "OnScreenMain.h"
#include "install/InstalledState.h"

namespace qvtest
{
    void OnScreenMain::SetUp()
    {
        root = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qv-gui-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
        ASSERT_TRUE (root.createDirectory());

        main = std::make_unique<MainComponent>();
        main->formatPaths = { root.getChildFile ("vst3"), root.getChildFile ("clap"), root.getChildFile ("aax") };
        main->formatSelected = { false, false, false };

        main->setTopLeftPosition (0, 0);
        main->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
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
        const auto bundle = main->bundleFileFor (formatIndex);
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
}
