#include "GuiTestSupport.h"
#include "panels/panel_eula.h"
#include "panels/panel_success.h"
#include "panels/panel_support.h"
#include "theme/Palette.h"

using namespace qvtest;

namespace
{
    // A pixel on the result icon's disc, below its mark, at 600 x 600.
    constexpr int discX = 300, discY = 332;

    // The fading snapshot the animator puts in the result panel's place: the one child that is
    // none of the main component's own.
    juce::Component* fadingSnapshot (const MainComponent& main)
    {
        for (auto* child : main.getChildren())
            if (dynamic_cast<juce::Button*> (child) == nullptr && dynamic_cast<juce::Label*> (child) == nullptr
                && child != main.successPanel.get() && child != main.eulaPanel.get() && child != main.supportPanel.get())
                return child;

        return nullptr;
    }

    std::array<bool, 3> installedStates (const MainComponent& main)
    {
        return { main.isFormatInstalled (0), main.isFormatInstalled (1), main.isFormatInstalled (2) };
    }
}

class InstallRun : public OnScreenMain
{
protected:
    void pressInstall()
    {
        mouse->click (*main->installButton);
    }

    void holdShift (bool held)
    {
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys (held ? juce::ModifierKeys::shiftModifier : 0);
        main->getPeer()->handleModifierKeysChange();
    }
};

TEST_F (InstallRun, NothingSelectedTouchesNothingAndReportsFailure)
{
    pressInstall();

    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_FALSE (main->successPanel->succeeded);
    EXPECT_EQ (root.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));

    const auto warning = render().getPixelAt (discX, discY);
    EXPECT_GT (warning.getRed(), 200);
    EXPECT_GT (warning.getGreen(), 120);
    EXPECT_LT (warning.getBlue(), 60);
}

TEST_F (InstallRun, InstallsTheSelectedFormatsDeselectsThemAndFadesTheOutcome)
{
    main->formatSelected = { true, false, true };
    pressInstall();

    EXPECT_EQ (installedStates (*main), (std::array<bool, 3> { true, false, true }));
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));

    auto* panel = main->successPanel.get();
    ASSERT_NE (panel, nullptr);
    EXPECT_TRUE (panel->succeeded);
    EXPECT_EQ (panel->getParentComponent(), main.get());
    EXPECT_EQ (panel->getBounds(), main->getBounds());
    EXPECT_FLOAT_EQ (panel->scaleUnit, 6.0f);
    EXPECT_TRUE (panel->isAlwaysOnTop());
    EXPECT_FALSE (panel->isVisible()) << "the animator shows a snapshot in the panel's place";

    auto* snapshot = fadingSnapshot (*main);
    ASSERT_NE (snapshot, nullptr);
    EXPECT_EQ (snapshot->getBounds(), main->getBounds());
    bool clicksOnIt = true, clicksOnChildren = true;
    snapshot->getInterceptsMouseClicks (clicksOnIt, clicksOnChildren);
    EXPECT_FALSE (clicksOnIt);

    // Fully there at first: the box's black and the green disc over the screen, which already
    // shows the installed rows.
    const auto first = render();
    saveArtifact (first, "install-fade-start");
    EXPECT_TRUE (pixelIs (first, discX, discY, juce::Colour (40, 201, 55), 3));
    EXPECT_TRUE (pixelIs (first, 215, 300, juce::Colours::black));
    EXPECT_TRUE (pixelIs (first, 250, 200, over (qv::colourBackground, qv::colourInstalled.withAlpha (0.9f)))) << "VST3 row";
    EXPECT_TRUE (pixelIs (first, 564, 200, over (qv::colourBackground, qv::colourText.withAlpha (0.35f)))) << "CLAP row";

    // Half way, the screen takes clicks through the fading snapshot.
    pumpMessages (1500);
    const auto halfImage = render();
    saveArtifact (halfImage, "install-fade-half");
    const auto half = halfImage.getPixelAt (discX, discY);
    EXPECT_GT (half.getGreen(), 0x11 + 30);
    EXPECT_LT (half.getGreen(), 201 - 30);

    mouse->click (*main->formatButtons[1]);
    EXPECT_TRUE (main->formatSelected[1]) << "CLAP could be selected during the fade";

    // Gone after three seconds; the real panel stays hidden and owned until the next run.
    pumpMessages (2000);
    EXPECT_EQ (fadingSnapshot (*main), nullptr);
    EXPECT_TRUE (pixelIs (render(), discX, discY, qv::colourBackground));
    EXPECT_EQ (main->successPanel.get(), panel);
    EXPECT_FALSE (panel->isVisible());

    // A resize leaves the result panel where it was.
    main->setSize (900, 900);
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 600, 600));
    EXPECT_FLOAT_EQ (panel->scaleUnit, 6.0f);
}

TEST_F (InstallRun, ShiftUninstallsTheSelectedFormats)
{
    for (int i = 0; i < 3; ++i)
        makeInstalled (i);

    main->formatSelected = { true, true, false };
    mouse->moveOver (*main->installButton);
    holdShift (true);
    ASSERT_TRUE (main->shiftHeld);
    pressInstall();
    holdShift (false);

    EXPECT_EQ (installedStates (*main), (std::array<bool, 3> { false, false, true }));
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_TRUE (main->successPanel->succeeded);
}

TEST_F (InstallRun, UninstallingWhatIsNotThereSucceedsAndDeselects)
{
    main->formatSelected = { false, true, false };
    holdShift (true);
    pressInstall();
    holdShift (false);

    EXPECT_EQ (installedStates (*main), (std::array<bool, 3> { false, false, false }));
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_TRUE (main->successPanel->succeeded);
}

TEST_F (InstallRun, AFailedFormatMakesTheRunAFailureAndIsDeselectedToo)
{
    // The VST3 "folder" is a file, so nothing can be extracted into it; CLAP installs normally.
    ASSERT_TRUE (main->formatPaths[0].create());
    main->formatSelected = { true, true, false };
    pressInstall();

    EXPECT_TRUE (main->formatPaths[0].existsAsFile());
    EXPECT_EQ (installedStates (*main), (std::array<bool, 3> { false, true, false }));
    EXPECT_EQ (main->formatSelected, (std::array<bool, 3> { false, false, false }));
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_FALSE (main->successPanel->succeeded) << "a later success must not hide an earlier failure";

    const auto warning = render().getPixelAt (discX, discY);
    EXPECT_GT (warning.getRed(), 200);
    EXPECT_LT (warning.getBlue(), 60);
}

TEST_F (InstallRun, EachRunReplacesThePreviousResultPanel)
{
    main->formatSelected = { false, false, true };
    pressInstall();
    juce::Component::SafePointer<panel_success> first (main->successPanel.get());
    ASSERT_NE (first, nullptr);
    EXPECT_TRUE (first->succeeded);

    pressInstall(); // nothing selected any more
    EXPECT_EQ (first, nullptr);
    ASSERT_NE (main->successPanel, nullptr);
    EXPECT_FALSE (main->successPanel->succeeded);

    int resultPanels = 0;
    for (auto* child : main->getChildren())
        resultPanels += dynamic_cast<panel_success*> (child) != nullptr ? 1 : 0;
    EXPECT_EQ (resultPanels, 1);
}

TEST_F (InstallRun, AFailedRunTellsWhyOnTheHintLineUntilTheMouseEntersAButton)
{
    const auto textWidth = [this] {
        return (float) main->hintLabel->getBorderSize().subtractedFrom (main->hintLabel->getLocalBounds()).getWidth();
    };
    const auto expectFailureSentence = [&] (const char* when) {
        SCOPED_TRACE (when);
        const auto hint = main->hintLabel->getText();
        EXPECT_TRUE (hint.startsWith ("VST3: can't create the folder /")) << hint;
        EXPECT_TRUE (hint.endsWith ("/vst3. Check the path in the settings file.")) << hint;
        EXPECT_LE (main->hintLabel->getFont().getStringWidthFloat (hint) * main->hintLabel->getMinimumHorizontalScale(), textWidth())
            << "the sentence fits the line, squeezed no further than the label allows: " << hint;
    };

    // A folder path long enough that the sentence only fits with the path shortened.
    main->formatPaths[0] = root.getChildFile (juce::String::repeatedString ("a-rather-long-folder-name/", 6) + "vst3");
    ASSERT_TRUE (main->formatPaths[0].create());
    main->formatSelected = { true, false, false };
    pressInstall();

    expectFailureSentence ("after the run");
    EXPECT_TRUE (main->hintLabel->getText().contains (juce::String (juce::CharPointer_UTF8 ("\xe2\x80\xa6"))));

    mouse->leave();
    expectFailureSentence ("the mouse left INSTALL");

    main->setSize (900, 900);
    expectFailureSentence ("refitted at 900");

    mouse->moveOver (*main->formatButtons[1]);
    EXPECT_EQ (main->hintLabel->getText(), "Select to install CLAP") << "entering a button gives its hint";
    mouse->leave();
    EXPECT_EQ (main->hintLabel->getText(), "");

    // Nothing selected says so, and the next run starts afresh.
    pressInstall();
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");
    mouse->leave();
    EXPECT_EQ (main->hintLabel->getText(), "Select a format first.");

    // A run that succeeds leaves the hint line as hovering makes it.
    main->formatSelected = { false, true, false };
    pressInstall();
    EXPECT_TRUE (main->successPanel->succeeded);
    EXPECT_EQ (main->hintLabel->getText(), "Click to install selected. Shift-click to uninstall selected");
    mouse->leave();
    EXPECT_EQ (main->hintLabel->getText(), "");
}
