#include "GuiTestSupport.h"
#include "KeyboardSupport.h"
#include "panels/panel_eula.h"
#include "panels/panel_success.h"
#include "panels/panel_support.h"
#include "theme/Palette.h"

using namespace qvtest;

namespace
{
    const juce::StringArray tabOrder { "VST3", "CLAP", "AAX", "SELECT_ALL", "INSTALL", "EULA", "MANUAL", "WEBSITE", "SUPPORT" };

    std::array<bool, 3> installedStates (const MainComponent& main)
    {
        return { main.isFormatInstalled (0), main.isFormatInstalled (1), main.isFormatInstalled (2) };
    }

    // On the focus ring, half way down the button's left side, 2 to 3 pixels outside it.
    juce::Point<int> ringProbe (const juce::Component& button)
    {
        return { button.getX() - 3, button.getBounds().getCentreY() };
    }
}

class Keyboard : public KeyboardOnScreenMain
{
};

TEST_F (Keyboard, TabVisitsTheNineButtonsInReadingOrderAndWrapsBothWays)
{
    juce::StringArray forward, backward;

    for (int i = 0; i < 10; ++i)
    {
        tab();
        forward.add (focusedName());
    }

    for (int i = 0; i < 10; ++i)
    {
        shiftTab();
        backward.add (focusedName());
    }

    EXPECT_EQ (forward.joinIntoString (" "), "VST3 CLAP AAX SELECT_ALL INSTALL EULA MANUAL WEBSITE SUPPORT VST3");
    EXPECT_EQ (backward.joinIntoString (" "), "SUPPORT WEBSITE MANUAL EULA INSTALL SELECT_ALL AAX CLAP VST3 SUPPORT");
}

TEST_F (Keyboard, TheFirstTabEntersAtEitherEnd)
{
    struct Case
    {
        bool shift;
        const char* focused;
    };

    for (const auto c : { Case { false, "VST3" }, Case { true, "SUPPORT" } })
    {
        SCOPED_TRACE (c.shift ? "Shift+Tab" : "Tab");
        main->grabKeyboardFocus();
        ASSERT_EQ (focusedName(), "none");

        key (juce::KeyPress::tabKey, c.shift ? juce::ModifierKeys::shiftModifier : 0);
        EXPECT_EQ (focusedName(), c.focused);
        EXPECT_TRUE (buttonNamed (c.focused).getAccessibilityHandler()->getCurrentState().isFocused());
    }
}

TEST_F (Keyboard, OnlyTheFocusedButtonHasARingAndTheStartLooksAsWithoutFocus)
{
    const auto unfocused = render();

    for (const auto& focusedName : tabOrder)
    {
        SCOPED_TRACE (focusedName.toStdString());
        tab();
        const auto image = render();

        for (const auto& name : tabOrder)
        {
            const auto probe = ringProbe (buttonNamed (name));
            const auto expected = name == focusedName ? qv::colourActive : unfocused.getPixelAt (probe.x, probe.y);
            EXPECT_TRUE (pixelIs (image, probe.x, probe.y, expected, 12)) << name;
        }

        if (focusedName == "VST3")
            saveArtifact (image, "focus-ring-vst3");
    }

    for (const auto& name : tabOrder)
        EXPECT_TRUE (pixelIs (unfocused, ringProbe (buttonNamed (name)).x, ringProbe (buttonNamed (name)).y, qv::colourBackground)) << name;

    // The focus back on the window itself: every pixel as before the first Tab, but for the line
    // under the buttons, which the focus left empty.
    main->grabKeyboardFocus();
    const auto after = render();
    const auto line = main->hintLabel->getBounds();
    int differing = 0, differingOnTheLine = 0;

    for (int y = 0; y < after.getHeight(); ++y)
        for (int x = 0; x < after.getWidth(); ++x)
            if (after.getPixelAt (x, y) != unfocused.getPixelAt (x, y))
                ++(line.contains (x, y) ? differingOnTheLine : differing);

    EXPECT_EQ (differing, 0);
    EXPECT_EQ (main->hintLabel->getText(), "");
    EXPECT_GT (differingOnTheLine, 0) << "the version text is gone from the line";
}

TEST_F (Keyboard, SpaceAndReturnPressTheFocusedButtonAsAClickWould)
{
    LinkRecorder links;

    struct Case
    {
        const char* button;
        int keyCode;
        std::array<bool, 3> selected;
    };
    const Case toggles[] {
        { "VST3", juce::KeyPress::spaceKey, { true, false, false } },
        { "VST3", juce::KeyPress::returnKey, { false, false, false } },
        { "AAX", juce::KeyPress::returnKey, { false, false, true } },
        { "CLAP", juce::KeyPress::spaceKey, { false, true, true } },
        { "SELECT_ALL", juce::KeyPress::spaceKey, { true, true, true } },
    };

    for (const auto& c : toggles)
    {
        SCOPED_TRACE (juce::String (c.button) + (c.keyCode == juce::KeyPress::spaceKey ? " Space" : " Return"));
        tabTo (c.button);
        key (c.keyCode);
        EXPECT_EQ (main->formatSelected, c.selected);
        EXPECT_EQ (focusedName(), c.button) << "a press leaves the focus where it is";
    }

    main->formatSelected = { false, true, false };
    tabTo ("INSTALL");
    key (juce::KeyPress::returnKey);
    EXPECT_EQ (installedStates (*main), (std::array<bool, 3> { false, true, false }));
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_TRUE (main->successPanel->succeeded);

    // Each link is opened by a process of its own, so the second waits for the first to be recorded.
    tabTo ("MANUAL");
    key (juce::KeyPress::spaceKey);
    EXPECT_EQ (links.waitFor (1).joinIntoString (" | "), "https://docs.quorvane-audio.example/manuals/Varnoly_Manual.pdf");
    tabTo ("WEBSITE");
    key (juce::KeyPress::returnKey);
    EXPECT_EQ (links.waitFor (2).joinIntoString (" | "),
               "https://docs.quorvane-audio.example/manuals/Varnoly_Manual.pdf"
               " | https://shop.quorvane-audio.example/collections/software/products/varnoly");

    // Keys other than Space and Return press nothing.
    tabTo ("VST3");
    for (const auto other : { (int) 'a', juce::KeyPress::backspaceKey, juce::KeyPress::escapeKey })
        key (other);
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));
}

TEST_F (Keyboard, ShiftReturnOnInstallUninstallsEvenWhenShiftsOwnChangeWasMissed)
{
    struct Case
    {
        const char* what;
        int modifiers;
        bool announced;
        std::array<bool, 3> installedAfter;
    };
    const Case cases[] {
        { "Return", 0, true, { true, true, true } },
        { "Shift+Return", juce::ModifierKeys::shiftModifier, true, { false, true, false } },
        { "Shift+Return, Shift never reported", juce::ModifierKeys::shiftModifier, false, { false, true, false } },
        { "Shift+Space", juce::ModifierKeys::shiftModifier, true, { false, true, false } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        for (int i = 0; i < 3; ++i)
            makeInstalled (i);

        main->formatSelected = { true, false, true };
        tabTo ("INSTALL");
        ASSERT_FALSE (main->shiftHeld);

        const auto keyCode = juce::String (c.what).endsWith ("Space") ? juce::KeyPress::spaceKey : juce::KeyPress::returnKey;
        key (keyCode, c.modifiers, c.announced);

        EXPECT_EQ (installedStates (*main), c.installedAfter);
        EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));
        ASSERT_NE (main->successPanel, nullptr);
        EXPECT_TRUE (main->successPanel->succeeded);
        EXPECT_FALSE (main->shiftHeld) << "Shift is up again";

        for (int i = 0; i < 3; ++i)
            main->bundleFileFor (i).deleteRecursively();
    }
}

TEST_F (Keyboard, EscapeClosesAPanelAndGivesTheFocusBackToItsButton)
{
    struct Case
    {
        const char* opener;
        int keyCode;
        bool byMouse;
    };
    const Case cases[] {
        { "EULA", juce::KeyPress::returnKey, false },
        { "SUPPORT", juce::KeyPress::spaceKey, false },
        { "EULA", 0, true },
        { "SUPPORT", 0, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.opener) + (c.byMouse ? " clicked" : " by key"));
        main->grabKeyboardFocus();

        if (c.byMouse)
        {
            mouse->click (buttonNamed (c.opener));
            mouse->leave();
        }
        else
        {
            tabTo (c.opener);
            key (c.keyCode);
        }

        juce::Component* panel = juce::String (c.opener) == "EULA" ? static_cast<juce::Component*> (main->eulaPanel.get())
                                                                   : static_cast<juce::Component*> (main->supportPanel.get());
        ASSERT_NE (panel, nullptr);
        ASSERT_EQ (panel->getParentComponent(), main.get());

        // The buttons under the panel are out of reach: Tab stays, Space and Return press nothing.
        const auto focusedBefore = focusedName();
        tab();
        shiftTab();
        EXPECT_EQ (focusedName(), focusedBefore);
        main->formatSelected = { false, false, false };
        key (juce::KeyPress::spaceKey);
        key (juce::KeyPress::returnKey);
        EXPECT_EQ (panel->getParentComponent(), main.get());
        EXPECT_EQ (main->successPanel, nullptr);

        key (juce::KeyPress::escapeKey);
        EXPECT_EQ (panel->getParentComponent(), nullptr) << "Escape closes the panel";
        EXPECT_EQ (focusedName(), c.opener);

        // With nothing open, Escape changes nothing.
        key (juce::KeyPress::escapeKey);
        EXPECT_EQ (focusedName(), c.opener);
    }
}

TEST_F (Keyboard, EscapeClosesTheLicenceAfterAClickIntoItsText)
{
    tabTo ("EULA");
    key (juce::KeyPress::returnKey);
    ASSERT_NE (main->eulaPanel, nullptr);

    mouse->click (*main->eulaPanel->eulaEditor);
    ASSERT_TRUE (main->eulaPanel->eulaEditor->hasKeyboardFocus (false));

    key (juce::KeyPress::escapeKey);

    // The editor tells of Escape through the message loop.
    for (int i = 0; i < 100 && main->eulaPanel->getParentComponent() != nullptr; ++i)
        pumpMessages (10);

    EXPECT_EQ (main->eulaPanel->getParentComponent(), nullptr);
    EXPECT_EQ (focusedName(), "EULA");
}

TEST_F (Keyboard, AClickNeverTakesTheFocus)
{
    for (const auto& name : tabOrder)
    {
        SCOPED_TRACE (name.toStdString());
        mouse->click (buttonNamed (name));
        EXPECT_EQ (focusedName(), "none");

        if (main->eulaPanel != nullptr)
            mouse->click (*main->eulaPanel->closeButton);
        if (main->supportPanel != nullptr)
            mouse->click (*main->supportPanel->closeButton);

        EXPECT_EQ (focusedName(), "none");
    }

    mouse->moveTo ({ 300, 100 });
    mouse->press();
    mouse->release();
    EXPECT_EQ (focusedName(), "none") << "nor does a click on the background";

    tabTo ("AAX");
    mouse->click (buttonNamed ("CLAP"));
    EXPECT_EQ (focusedName(), "AAX") << "a click leaves the focus where the keyboard put it";
}

TEST_F (Keyboard, TheLineShowsTheFocusedButtonsHintUnlessTheMouseIsOverOne)
{
    makeInstalled (1);

    const juce::StringArray hints {
        "Select to install VST3", "Select to update CLAP to 1.0.4", "Select to install AAX", "",
        "Click to install selected. Shift-click to uninstall selected", "Click to read End-User License Agreement",
        "Click to open product manual in your web browser", "Click to open product page on the Quorvane website",
        "Email and Discord support"
    };

    for (int i = 0; i < tabOrder.size(); ++i)
    {
        tab();
        EXPECT_EQ (main->hintLabel->getText(), hints[i]) << tabOrder[i];
    }

    // Hovering wins while the pointer is over a button; off it, the focused button's hint is back.
    mouse->moveOver (buttonNamed ("AAX"));
    tab(); // SUPPORT -> VST3
    EXPECT_EQ (main->hintLabel->getText(), "Select to install AAX");
    mouse->leave();
    EXPECT_EQ (main->hintLabel->getText(), "Select to install VST3");
}

TEST_F (Keyboard, ARunsSentenceGivesWayToTabButNotToTheWindowRegainingFocus)
{
    tabTo ("INSTALL");
    key (juce::KeyPress::returnKey); // nothing selected
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");

    main->getPeer()->handleFocusLoss();
    EXPECT_EQ (focusedName(), "none");
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");
    main->getPeer()->handleFocusGain();
    EXPECT_EQ (focusedName(), "INSTALL");
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");

    main->setSize (900, 900);
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");

    tab();
    EXPECT_EQ (main->hintLabel->getText(), "Click to read End-User License Agreement");
    main->setSize (600, 600);
    EXPECT_EQ (main->hintLabel->getText(), "Click to read End-User License Agreement") << "the sentence is gone, not refitted";

    // A run by key from INSTALL: its sentence is on the line until the next Tab.
    shiftTab();
    key (juce::KeyPress::returnKey);
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");
    shiftTab();
    EXPECT_EQ (main->hintLabel->getText(), "");
}
