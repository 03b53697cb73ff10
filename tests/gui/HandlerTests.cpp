#include "GuiTestSupport.h"
#include "catalogue/Catalogue.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"

using namespace qvtest;

class Handlers : public OnScreenMain
{
protected:
    void SetUp() override
    {
        OnScreenMain::SetUp();
        probe = std::make_unique<RepaintProbe> (*main, juce::Point<int> (300, 590));
    }

    void TearDown() override
    {
        probe = nullptr;
        OnScreenMain::TearDown();
    }

    std::unique_ptr<RepaintProbe> probe;
};

TEST_F (Handlers, FormatButtonsToggleAndSelectAllOnlyEverSets)
{
    struct Case
    {
        std::vector<const char*> clicks;
        std::array<bool, 3> selected;
    };
    const Case cases[] {
        { { "VST3" }, { true, false, false } },
        { { "VST3", "VST3" }, { false, false, false } },
        { { "CLAP", "AAX" }, { false, true, true } },
        { { "AAX", "CLAP", "AAX" }, { false, true, false } },
        { { "SELECT_ALL" }, { true, true, true } },
        { { "VST3", "SELECT_ALL" }, { true, true, true } },
        { { "SELECT_ALL", "SELECT_ALL" }, { true, true, true } },
        { { "SELECT_ALL", "CLAP" }, { true, false, true } },
    };

    for (const auto& c : cases)
    {
        juce::String trace;
        for (auto* name : c.clicks)
            trace << name << " ";
        SCOPED_TRACE (trace.toStdString());

        main->formatSelected = { false, false, false };

        for (auto* name : c.clicks)
        {
            probe->flush();
            mouse->click (buttonNamed (name));
            EXPECT_TRUE (probe->repaintedSinceFlush()) << name << " must repaint the whole screen";
        }

        EXPECT_EQ (main->formatSelected, c.selected);
        mouse->leave();
    }
}

TEST_F (Handlers, ClicksDispatchOnTheButtonsName)
{
    // The buttons are told apart by name: a button of any identity named "CLAP" toggles CLAP, and
    // names that are not exact (case, the unused fifth extra) do nothing.
    juce::TextButton impostor;
    impostor.setName ("CLAP");
    main->buttonClicked (&impostor);
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, true, false }));

    for (auto* name : { "clap", "Select_All", "SETTINGS", "AudioUnit V2", "X", "" })
    {
        SCOPED_TRACE (name);
        impostor.setName (name);
        main->buttonClicked (&impostor);
        EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, true, false }));
        EXPECT_EQ (main->eulaPanel, nullptr);
        EXPECT_EQ (main->supportPanel, nullptr);
        EXPECT_EQ (main->successPanel, nullptr);
    }
}

TEST_F (Handlers, HoverHintsNameTheButtonUnderThePointer)
{
    struct Case
    {
        const char* button;
        bool installed;
        const char* hint;
    };
    const Case cases[] {
        { "EULA", false, "Click to read End-User License Agreement" },
        { "MANUAL", false, "Click to open product manual in your web browser" },
        { "WEBSITE", false, "Click to open product page on the Quorvane website" },
        { "SUPPORT", false, "Email and Discord support" },
        { "INSTALL", false, "Click to install selected. Shift-click to uninstall selected" },
        { "VST3", false, "Select to install VST3" },
        { "CLAP", false, "Select to install CLAP" },
        { "AAX", false, "Select to install AAX" },
        { "VST3", true, "Select to update VST3 to 1.0.4" },
        { "CLAP", true, "Select to update CLAP to 1.0.4" },
        { "AAX", true, "Select to update AAX to 1.0.4" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.button) + (c.installed ? " installed" : " not installed"));

        for (int i = 0; i < 3; ++i)
            main->bundleFileFor (i).deleteRecursively();

        if (c.installed)
        {
            // Whatever lies at the bundle path counts, even a plain file without a version.
            const auto index = qv::formatNames.indexOf (c.button);
            ASSERT_TRUE (main->bundleFileFor (index).create());
        }

        mouse->moveOver (buttonNamed (c.button));
        EXPECT_EQ (main->hintLabel->getText(), c.hint);

        // Neither the selection nor Shift changes a hint; pressing recomputes the same text.
        main->formatSelected = { true, true, true };
        main->shiftHeld = true;
        mouse->press();
        EXPECT_EQ (main->hintLabel->getText(), c.hint);
        mouse->moveTo ({ 300, 575 }); // drag off, so the release is no click
        mouse->release();
        main->shiftHeld = false;

        EXPECT_EQ (main->hintLabel->getText(), "") << "leaving a button clears the hint";
    }
}

TEST_F (Handlers, SelectAllLeavesTheHintAsItIs)
{
    EXPECT_EQ (main->hintLabel->getText(), "1.0.5");

    mouse->moveOver (*main->selectAllButton);
    EXPECT_EQ (main->hintLabel->getText(), "1.0.5") << "the first hover over SELECT ALL keeps the version";

    mouse->leave();
    EXPECT_EQ (main->hintLabel->getText(), "");

    mouse->moveOver (buttonNamed ("SUPPORT"));
    EXPECT_EQ (main->hintLabel->getText(), "Email and Discord support");
    mouse->moveOver (*main->selectAllButton); // leaving SUPPORT clears; entering SELECT ALL adds nothing
    EXPECT_EQ (main->hintLabel->getText(), "");
}

TEST_F (Handlers, ModifierKeysTrackShiftAndRepaintOnEveryChangedBit)
{
    constexpr int shift = juce::ModifierKeys::shiftModifier, ctrl = juce::ModifierKeys::ctrlModifier,
                  alt = juce::ModifierKeys::altModifier, left = juce::ModifierKeys::leftButtonModifier;

    struct Step
    {
        const char* what;
        int flags;
        bool shiftHeld;
        int lastFlags;
        bool repaints;
    };
    const Step steps[] {
        { "Shift down", shift, true, shift, true },
        { "Shift again", shift, true, shift, false },
        { "Ctrl joins", shift | ctrl, true, shift | ctrl, true },
        { "Shift up, Ctrl held", ctrl, false, ctrl, true },
        { "all up", 0, false, 0, true },
        { "Alt", alt, false, alt, true },
        { "a mouse button is no key", alt | left, false, alt, false },
        { "the fourth bit", 8, false, 8, true },
        { "all up again", 0, false, 0, true },
    };

    // Through the window, as X key events arrive: with the pointer off the window and over a
    // button, which hands the change on to its parent.
    for (const auto overButton : { false, true })
    {
        SCOPED_TRACE (overButton ? "pointer over INSTALL" : "pointer off the window");

        if (overButton)
            mouse->moveOver (*main->installButton);
        else
            mouse->leave();

        for (const auto& step : steps)
        {
            SCOPED_TRACE (step.what);
            probe->flush();

            juce::ModifierKeys::currentModifiers = juce::ModifierKeys (step.flags);
            main->getPeer()->handleModifierKeysChange();

            EXPECT_EQ (main->shiftHeld, step.shiftHeld);
            EXPECT_EQ (main->lastModifierFlags, step.lastFlags);
            EXPECT_EQ (probe->repaintedSinceFlush(), step.repaints);
        }
    }

    juce::ModifierKeys::currentModifiers = {};
}

TEST_F (Handlers, PanelsOpenFreshOverTheWholeScreenAndReplaceTheirPredecessors)
{
    main->settingsFolder = juce::File ("/opt/Quorvane");

    // EULA
    mouse->click (buttonNamed ("EULA"));
    juce::Component::SafePointer<panel_eula> firstEula (main->eulaPanel.get());
    ASSERT_NE (firstEula, nullptr);
    EXPECT_EQ (firstEula->getParentComponent(), main.get());
    EXPECT_TRUE (firstEula->isVisible());
    EXPECT_TRUE (firstEula->isAlwaysOnTop());
    EXPECT_EQ (firstEula->getBounds(), main->getBounds());
    EXPECT_FLOAT_EQ (firstEula->scaleUnit, 6.0f);
    EXPECT_EQ (firstEula->eulaEditor->getText(), qv::eulaText);
    EXPECT_EQ (main->getComponentAt (300, 300), firstEula->eulaEditor.get()) << "the panel takes the clicks";
    EXPECT_TRUE (firstEula->isParentOf (main->getComponentAt (30, 470))) << "the EULA tile lies under the panel";

    // Edits are lost: the next panel starts again from the stored text.
    firstEula->eulaEditor->setText ("scribbled over");
    mouse->click (*firstEula->closeButton);
    EXPECT_EQ (firstEula->getParentComponent(), nullptr) << "closing detaches the panel";
    EXPECT_EQ (main->eulaPanel.get(), firstEula.getComponent()) << "and keeps it owned";

    mouse->click (buttonNamed ("EULA"));
    EXPECT_EQ (firstEula, nullptr) << "the second click deleted the first panel";
    ASSERT_NE (main->eulaPanel, nullptr);
    EXPECT_EQ (main->eulaPanel->eulaEditor->getText(), qv::eulaText);

    // Asked again while one is open, the handler still replaces it: never two of a kind.
    main->buttonClicked (&buttonNamed ("EULA"));
    int eulaChildren = 0;
    for (auto* child : main->getChildren())
        eulaChildren += dynamic_cast<panel_eula*> (child) != nullptr ? 1 : 0;
    EXPECT_EQ (eulaChildren, 1);
    mouse->click (*main->eulaPanel->closeButton);

    // SUPPORT
    mouse->click (buttonNamed ("SUPPORT"));
    juce::Component::SafePointer<panel_support> firstSupport (main->supportPanel.get());
    ASSERT_NE (firstSupport, nullptr);
    EXPECT_EQ (firstSupport->getParentComponent(), main.get());
    EXPECT_TRUE (firstSupport->isAlwaysOnTop());
    EXPECT_EQ (firstSupport->getBounds(), main->getBounds());
    EXPECT_FLOAT_EQ (firstSupport->scaleUnit, 6.0f);
    EXPECT_EQ (firstSupport->settingsFolderPath, "/opt/Quorvane");
    EXPECT_EQ (firstSupport->discordButton->getBounds(), juce::Rectangle<int> (60, 90, 60, 60));

    mouse->click (*firstSupport->closeButton);
    EXPECT_EQ (firstSupport->getParentComponent(), nullptr);
    EXPECT_EQ (main->getComponentAt (30, 470), &buttonNamed ("EULA")) << "the main screen takes clicks again";

    mouse->click (buttonNamed ("SUPPORT"));
    EXPECT_EQ (firstSupport, nullptr);
    ASSERT_NE (main->supportPanel, nullptr);
    EXPECT_EQ (main->supportPanel->getParentComponent(), main.get());
}

TEST_F (Handlers, LinksGoToTheSystemsHandlerAndLeaveTheScreenAsItIs)
{
    LinkRecorder links;
    const auto recorded = [&links] (int expected) { return links.waitFor (expected).joinIntoString (" | ").toStdString(); };

    mouse->click (buttonNamed ("MANUAL"));
    EXPECT_EQ (recorded (1), "https://docs.quorvane-audio.example/manuals/Varnoly_Manual.pdf");

    mouse->click (buttonNamed ("WEBSITE"));
    EXPECT_EQ (recorded (2), "https://docs.quorvane-audio.example/manuals/Varnoly_Manual.pdf"
                             " | https://shop.quorvane-audio.example/collections/software/products/varnoly");

    EXPECT_EQ (main->eulaPanel, nullptr);
    EXPECT_EQ (main->supportPanel, nullptr);
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));

    // The support panel's tiles; the panel stays open after each, and a click beside them does nothing.
    mouse->click (buttonNamed ("SUPPORT"));
    auto* support = main->supportPanel.get();
    ASSERT_NE (support, nullptr);

    mouse->click (*support->discordButton);
    EXPECT_EQ (links.waitFor (3)[2].toStdString(), "https://discord.gg/quorvane-example");

    mouse->click (*support->mailButton);
    EXPECT_EQ (links.waitFor (4)[3].toStdString(), "mailto:support@quorvane-audio.example");

    mouse->moveTo ({ 90, 170 });
    mouse->press();
    mouse->release();
    EXPECT_EQ (links.waitFor (5, 300).size(), 4) << "the click beside the tiles opened something";
    EXPECT_EQ (support->getParentComponent(), main.get());
}
