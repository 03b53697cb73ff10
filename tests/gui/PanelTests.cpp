#include "GuiTestSupport.h"
#include "catalogue/Catalogue.h"
#include "panels/panel_eula.h"
#include "panels/panel_success.h"
#include "panels/panel_support.h"
#include "theme/CustomLookAndFeel.h"
#include "theme/Palette.h"

using namespace qvtest;

namespace
{
    // A reference: the palette is initialised in another file, perhaps after this one.
    const auto& background = qv::colourBackground;

    juce::Colour greyAt (float alpha)
    {
        return over (background, qv::colourText.withAlpha (alpha));
    }

    ::testing::AssertionResult strongestIs (const juce::Image& image, juce::Rectangle<int> area, juce::Colour expected)
    {
        const auto found = brightest (image, area);

        if (std::abs (found.getRed() - expected.getRed()) <= 3 && std::abs (found.getGreen() - expected.getGreen()) <= 3
            && std::abs (found.getBlue() - expected.getBlue()) <= 3)
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "strongest colour in " << area.toString() << " is "
                                             << found.toDisplayString (false) << ", expected " << expected.toDisplayString (false);
    }
}

class Panels : public OnScreenMain
{};

TEST_F (Panels, LicencePanelShowsTheTextUnderItsTitleWithACloseMark)
{
    mouse->click (buttonNamed ("EULA"));
    auto* panel = main->eulaPanel.get();
    ASSERT_NE (panel, nullptr);

    auto& editor = *panel->eulaEditor;
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (24, 72, 552, 480));
    EXPECT_TRUE (editor.isMultiLine());
    EXPECT_TRUE (editor.isVisible());
    EXPECT_FALSE (editor.isReadOnly());
    EXPECT_EQ (editor.getText(), qv::eulaText);
    EXPECT_EQ (editor.findColour (juce::TextEditor::textColourId), qv::colourText);
    EXPECT_EQ (editor.findColour (juce::TextEditor::outlineColourId), background);
    EXPECT_EQ (editor.findColour (juce::TextEditor::focusedOutlineColourId), background);
    EXPECT_EQ (editor.findColour (juce::TextEditor::backgroundColourId), background);

    auto& close = *panel->closeButton;
    EXPECT_EQ (close.getName(), "X");
    EXPECT_EQ (close.getBounds(), juce::Rectangle<int> (528, 9, 48, 48));
    EXPECT_EQ (close.getAlpha(), 0.0f);

    const auto image = render();
    saveArtifact (image, "panel-eula");
    EXPECT_TRUE (pixelIs (image, 300, 62, background));
    EXPECT_TRUE (pixelIs (image, 300, 3, background)) << "the panel hides the top bar";
    EXPECT_TRUE (strongestIs (image, { 24, 18, 260, 20 }, qv::colourTextBright)) << "title";
    EXPECT_GT (countNear (image, { 24, 72, 552, 200 }, qv::colourText, 12), 50) << "licence text";

    // Close mark: the circle and the "X" in the close button reduced by 2u, (540, 21, 24, 24).
    const juce::Rectangle<int> mark (538, 19, 28, 28);
    EXPECT_TRUE (strongestIs (image, mark, greyAt (0.5f)));
    EXPECT_TRUE (pixelIs (image, 545, 33, background)) << "inside the circle, beside the X";

    mouse->moveOver (close);
    EXPECT_TRUE (strongestIs (render(), mark, qv::colourText));

    mouse->leave();
    EXPECT_TRUE (strongestIs (render(), mark, greyAt (0.5f)));
}

TEST_F (Panels, SupportPanelShowsTheChannelsTheAboutTextAndTheNotice)
{
    main->settingsFolder = juce::File ("/opt/Quorvane");
    mouse->click (buttonNamed ("SUPPORT"));
    auto* panel = main->supportPanel.get();
    ASSERT_NE (panel, nullptr);

    EXPECT_EQ (panel->closeButton->getBounds(), juce::Rectangle<int> (528, 9, 48, 48));
    EXPECT_EQ (panel->discordButton->getBounds(), juce::Rectangle<int> (60, 90, 60, 60));
    EXPECT_EQ (panel->mailButton->getBounds(), juce::Rectangle<int> (60, 210, 60, 60));
    EXPECT_EQ (panel->getChildComponent (0), panel->closeButton.get());
    EXPECT_EQ (panel->getChildComponent (1), panel->discordButton.get());
    EXPECT_EQ (panel->getChildComponent (2), panel->mailButton.get());

    EXPECT_EQ (panel->aboutText(),
               "The Quorvane Plugin Manager v1.0.5 cross-platform installater. \nFeel free to drop us a line if you have "
               "any suggestions or questions concerning its use. You can edit the default installation paths in the text "
               "file found at /opt/Quorvane/PluginManagerSettings.txt");

    // Joined with a forward slash even where the folder path uses backslashes.
    panel->settingsFolderPath = "C:\\ProgramData\\Quorvane";
    EXPECT_TRUE (panel->aboutText().endsWith ("C:\\ProgramData\\Quorvane/PluginManagerSettings.txt"));
    panel->settingsFolderPath = "/opt/Quorvane";

    const auto image = render();
    saveArtifact (image, "panel-support");
    struct Case
    {
        const char* what;
        juce::Rectangle<int> area;
        juce::Colour strongest;
    };
    const Case cases[] {
        { "DISCORD heading", { 60, 45, 200, 54 - 10 }, qv::colourTextBright },
        { "Discord explanation", { 132, 90, 420, 60 }, qv::colourText },
        { "E-MAIL heading", { 60, 165, 200, 44 }, qv::colourTextBright },
        { "e-mail explanation", { 132, 210, 420, 40 }, qv::colourText },
        { "ABOUT heading", { 60, 350, 480, 24 }, qv::colourText },
        { "about text", { 60, 390, 480, 100 }, qv::colourText },
        { "copyright notice", { 60, 512, 480, 20 }, qv::colourText },
        { "nothing below the notice", { 0, 540, 600, 60 }, background },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        EXPECT_TRUE (strongestIs (image, c.area, c.strongest));
    }

    // The Discord mark is recoloured; the envelope's own near-black is not pure black and stays.
    const juce::Rectangle<int> discordTile (72, 102, 36, 36), mailTile (72, 222, 36, 36); // icon areas
    const auto envelope = juce::Colour (29, 29, 27);
    EXPECT_GT (countNear (image, discordTile, qv::colourIcon, 2), 20);
    EXPECT_GT (countNear (image, mailTile, envelope, 2), 20);
    EXPECT_EQ (countNear (image, mailTile, qv::colourIcon, 2), 0);
}

TEST_F (Panels, SupportTilesFollowTheMouse)
{
    mouse->click (buttonNamed ("SUPPORT"));
    auto* panel = main->supportPanel.get();
    ASSERT_NE (panel, nullptr);

    struct Tile
    {
        juce::Button* button;
        juce::Point<int> probe;
    };
    const Tile tiles[] { { panel->discordButton.get(), { 63, 120 } }, { panel->mailButton.get(), { 63, 240 } } };

    for (const auto& tile : tiles)
    {
        SCOPED_TRACE (tile.button->getName());
        const auto at = [&] (const juce::Image& image, juce::Colour c) { return pixelIs (image, tile.probe.x, tile.probe.y, c); };

        EXPECT_TRUE (at (render(), greyAt (0.5f)));
        mouse->moveOver (*tile.button);
        EXPECT_TRUE (at (render(), greyAt (0.75f)));
        mouse->press();
        EXPECT_TRUE (at (render(), qv::colourActive));
        mouse->moveTo ({ 300, 560 }); // off the tile before release: no link is opened
        EXPECT_TRUE (at (render(), qv::colourActive));
        mouse->release();
        EXPECT_TRUE (at (render(), greyAt (0.5f)));
    }
}

TEST_F (Panels, OpenPanelsFollowTheWindowsSizeAndClosedOnesStayDetached)
{
    mouse->click (buttonNamed ("SUPPORT"));
    mouse->click (*main->supportPanel->closeButton);
    ASSERT_EQ (main->supportPanel->getParentComponent(), nullptr);

    mouse->click (buttonNamed ("EULA"));
    auto* eula = main->eulaPanel.get();
    auto* support = main->supportPanel.get();

    main->setSize (900, 900);

    EXPECT_EQ (eula->getBounds(), juce::Rectangle<int> (0, 0, 900, 900));
    EXPECT_FLOAT_EQ (eula->scaleUnit, 9.0f);
    EXPECT_EQ (eula->eulaEditor->getBounds(), juce::Rectangle<int> (36, 108, 828, 720));
    EXPECT_EQ (eula->closeButton->getBounds(), juce::Rectangle<int> (792, 14, 72, 72)); // 13.5 rounds to even

    // The closed panel is still told about the size, with no visible effect.
    EXPECT_EQ (support->getBounds(), juce::Rectangle<int> (0, 0, 900, 900));
    EXPECT_FLOAT_EQ (support->scaleUnit, 9.0f);
    EXPECT_EQ (support->mailButton->getBounds(), juce::Rectangle<int> (90, 315, 90, 90));
    EXPECT_EQ (support->getParentComponent(), nullptr);

    const auto image = render();
    saveArtifact (image, "panel-eula-900");
    EXPECT_TRUE (pixelIs (image, 450, 93, background)) << "the licence panel covers the larger screen";
    EXPECT_TRUE (strongestIs (image, { 807, 29, 42, 42 }, greyAt (0.5f))) << "close mark at its new place";

    mouse->moveOver (*eula->closeButton);
    EXPECT_TRUE (strongestIs (render(), { 807, 29, 42, 42 }, qv::colourText));
}

//==============================================================================
class ResultPanel : public ::testing::Test
{
protected:
    // The panel on its own: its text reaches the look-and-feel's typeface through the default.
    void SetUp() override { juce::LookAndFeel::setDefaultLookAndFeel (&laf); }
    void TearDown() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    static juce::Image renderPanel (bool succeeded, int size)
    {
        panel_success panel;
        panel.succeeded = succeeded;
        panel.scaleUnit = (float) size * 0.01f;
        panel.setBounds (0, 0, size, size);
        return panel.createComponentSnapshot (panel.getLocalBounds(), true, 1.0f);
    }

    CustomLookAndFeel laf;
};

TEST_F (ResultPanel, StartsAsASuccessWithBothIcons)
{
    panel_success panel;
    EXPECT_TRUE (panel.succeeded);
    EXPECT_FLOAT_EQ (panel.scaleUnit, 9.0f);
    EXPECT_NE (panel.successIcon, nullptr);
    EXPECT_NE (panel.warningIcon, nullptr);
    EXPECT_EQ (panel.getNumChildComponents(), 0);
}

TEST_F (ResultPanel, DrawsARoundedBlackBoxWithTheOutcomesIconAndText)
{
    const auto green = juce::Colour (40, 201, 55), orange = juce::Colour (255, 170, 0);

    // Box: local bounds reduced by 35u; icon: the box reduced by 8u; the probe is on the disc below the mark.
    struct Case
    {
        int size;
        bool succeeded;
        juce::Rectangle<int> box;
        juce::Point<int> disc;
        juce::Colour icon;
    };
    const Case cases[] {
        { 600, true, { 210, 210, 180, 180 }, { 300, 332 }, green },
        { 600, false, { 210, 210, 180, 180 }, { 300, 332 }, orange },
        { 900, true, { 315, 315, 270, 270 }, { 450, 498 }, green },
        { 900, false, { 315, 315, 270, 270 }, { 450, 498 }, orange },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.size) + (c.succeeded ? " success" : " failure"));
        const auto image = renderPanel (c.succeeded, c.size);
        saveArtifact (image, juce::String ("result-") + (c.succeeded ? "success-" : "failure-") + juce::String (c.size));
        const auto midY = c.box.getCentreY();

        EXPECT_EQ (image.getPixelAt (c.box.getX() - 3, midY).getAlpha(), 0) << "outside the box";
        EXPECT_EQ (image.getPixelAt (c.box.getCentreX(), c.box.getY() - 3).getAlpha(), 0);
        EXPECT_EQ (image.getPixelAt (2, 2).getAlpha(), 0);
        EXPECT_TRUE (pixelIs (image, c.box.getX() + 4, midY, juce::Colours::black)) << "inside the box";
        EXPECT_GT (image.getPixelAt (c.box.getX(), midY).getBrightness(), 0.55f) << "outline on the box's edge";
        EXPECT_GT (image.getPixelAt (c.box.getCentreX(), c.box.getBottom() - 1).getBrightness(), 0.55f);
        EXPECT_EQ (image.getPixelAt (c.box.getX(), c.box.getY()).getAlpha() < 255, true) << "rounded corner";
        EXPECT_TRUE (pixelIs (image, c.disc.x, c.disc.y, c.icon, 3));
    }

    // The text stands centred at the bottom of the box reduced by 2u, in white, 3u high.
    const auto success = renderPanel (true, 600), failure = renderPanel (false, 600);
    const juce::Rectangle<int> textBand (222, 356, 156, 22);
    EXPECT_GT (countNear (success, textBand, juce::Colours::white, 12), 10);
    EXPECT_GT (countNear (success, textBand, juce::Colours::white, 60), countNear (failure, textBand, juce::Colours::white, 60))
        << "\"Operation Successful!\" is longer than \"Operation failed!\"";
    EXPECT_EQ (countNear (success, { 222, 340, 156, 12 }, juce::Colours::white, 60), 0) << "between icon and text";
}
