#include "main_component/MainComponent.h"
#include "theme/Palette.h"
#include <gtest/gtest.h>

namespace
{
    juce::StringArray childNames (const juce::Component& c)
    {
        juce::StringArray names;
        for (auto* child : c.getChildren())
            names.add (child->getName());
        return names;
    }
}

TEST (MainComponent, ChildrenAreTheNineTransparentButtonsThenTheHintLabel)
{
    MainComponent main;

    EXPECT_EQ (childNames (main), juce::StringArray ({ "EULA", "MANUAL", "WEBSITE", "SUPPORT", "VST3", "CLAP", "AAX", "INSTALL", "SELECT_ALL", "" }));

    for (int i = 0; i < 9; ++i)
    {
        auto* button = dynamic_cast<juce::TextButton*> (main.getChildComponent (i));
        ASSERT_NE (button, nullptr) << i;
        SCOPED_TRACE (button->getName().toStdString());
        EXPECT_EQ (button->getAlpha(), 0.0f);
        EXPECT_TRUE (button->isVisible());
        EXPECT_TRUE (button->getButtonText().isEmpty());
        EXPECT_FALSE (button->getClickingTogglesState());
        EXPECT_EQ (button->getCommandID(), 0);
    }

    auto* label = dynamic_cast<juce::Label*> (main.getChildComponent (9));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getText(), "1.0.5");
    EXPECT_EQ (label->getJustificationType(), juce::Justification (juce::Justification::centred));
    EXPECT_EQ (label->findColour (juce::Label::textColourId), qv::colourText.withAlpha (0.5f));
}

TEST (MainComponent, StartsAt600WithTheConstantsInPlace)
{
    MainComponent main;

    EXPECT_EQ (main.getBounds(), juce::Rectangle<int> (0, 0, 600, 600));
    EXPECT_FLOAT_EQ (main.scaleUnit, 6.0f);
    EXPECT_EQ (main.productName, "Varnoly");
    EXPECT_EQ (main.productVersion, "1.0.4");
    EXPECT_FALSE (main.shiftHeld);
    EXPECT_EQ (main.lastModifierFlags, 0);
    EXPECT_EQ (main.eulaPanel, nullptr);
    EXPECT_EQ (main.supportPanel, nullptr);
    EXPECT_EQ (main.successPanel, nullptr);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &main.customLookAndFeel);

    for (const auto& icon : main.formatIcons)
        EXPECT_NE (icon, nullptr);
    for (const auto& icon : main.extraIcons)
        EXPECT_NE (icon, nullptr);
}

TEST (MainComponent, ChildBoundsFollowTheGridWithHalvesRoundedToEven)
{
    struct Case
    {
        int size;
        const char* name;
        juce::Rectangle<int> bounds;
    };
    const Case cases[] {
        { 600, "EULA", { 24, 441, 60, 60 } },
        { 600, "MANUAL", { 93, 441, 60, 60 } },
        { 600, "WEBSITE", { 162, 441, 60, 60 } },
        { 600, "SUPPORT", { 231, 441, 60, 60 } },
        { 600, "INSTALL", { 516, 441, 60, 60 } },
        { 600, "SELECT_ALL", { 480, 135, 96, 24 } },
        { 600, "VST3", { 24, 180, 270, 60 } },
        { 600, "CLAP", { 306, 180, 270, 60 } },
        { 600, "AAX", { 24, 252, 270, 60 } },
        { 600, "", { 24, 540, 552, 18 } },
        { 900, "EULA", { 36, 662, 90, 90 } },
        { 900, "MANUAL", { 140, 662, 90, 90 } },
        { 900, "WEBSITE", { 243, 662, 90, 90 } },
        { 900, "SUPPORT", { 346, 662, 90, 90 } },
        { 900, "SELECT_ALL", { 720, 202, 144, 36 } },
    };

    MainComponent main;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.size) + " " + c.name);
        main.setSize (c.size, c.size);

        juce::Component* found = nullptr;
        for (auto* child : main.getChildren())
            if (child->getName() == c.name)
                found = child;

        ASSERT_NE (found, nullptr);
        EXPECT_EQ (found->getBounds(), c.bounds);
    }
}

TEST (MainComponent, HintLabelFontFollowsTheLayoutUnit)
{
    MainComponent main;
    EXPECT_FLOAT_EQ (main.hintLabel->getFont().getHeight(), 18.0f);

    main.setSize (900, 900);
    EXPECT_FLOAT_EQ (main.scaleUnit, 9.0f);
    EXPECT_FLOAT_EQ (main.hintLabel->getFont().getHeight(), 27.0f);
}

TEST (MainComponent, RendersIntoAnImage)
{
    MainComponent main;
    const auto image = main.createComponentSnapshot (main.getLocalBounds(), true, 1.0f);

    ASSERT_EQ (image.getWidth(), 600);
    ASSERT_EQ (image.getHeight(), 600);
    EXPECT_EQ (image.getPixelAt (300, 300).withAlpha (1.0f), qv::colourBackground);
}
