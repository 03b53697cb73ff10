#include "panel_support.h"
#include "PanelDrawing.h"
#include "catalogue/Catalogue.h"
#include "theme/IconTile.h"
#include "theme/Icons.h"
#include "theme/Palette.h"
#include "theme/TransparentButton.h"
#include <BinaryData.h>

namespace
{
    const juce::String discordText = juce::String ("The ") + qv::maker::companyName
        + " Discord is a vibrant community of musicians and producers, and this is "
          "the fastest way to get answers to simple questions. Just join and drop in the "
          "appropriate channel. ";

    const char* const mailText = "If you have more complicated questions, or matters that need to remain private, "
                                 "concerning account information, etc., feel free to email us.";

    juce::Rectangle<int> roundedRect (float x, float y, float w, float h)
    {
        return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h) };
    }

    void drawHeading (juce::Graphics& g, const juce::String& text, float y, float u)
    {
        g.drawText (text, juce::Rectangle<float> (10.0f * u, y, 80.0f * u, 10.0f * u),
                    juce::Justification::centredLeft, true);
    }

    // A support channel: its heading, its icon tile, and the explanation to the right of the tile,
    // level with the tile's top.
    void drawChannel (juce::Graphics& g, const juce::String& heading, float headingY, const juce::Button& tile,
                      const juce::Drawable* icon, const juce::String& explanation, float u)
    {
        g.setColour (qv::colourTextBright);
        g.setFont (5.0f * u);
        drawHeading (g, heading, headingY, u);
        qv::drawIconTile (g, tile, icon, u, 2.0f * u);

        g.setColour (qv::colourText);
        g.setFont (3.0f * u);
        g.drawFittedText (explanation, roundedRect ((float) tile.getX() + 12.0f * u, (float) tile.getY(), 70.0f * u, 30.0f * u),
                          juce::Justification::topLeft, 20, 0.0f);
    }
}

panel_support::panel_support()
{
    scaleUnit = 9.0f;
    settingsFolderPath = {};

    discordIcon = qv::loadRecolouredIcon (BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize);
    mailIcon = qv::loadRecolouredIcon (BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize);

    qv::createTransparentButton (closeButton, *this, *this, "X");
    qv::createTransparentButton (discordButton, *this, *this, "DISCORD");
    qv::createTransparentButton (mailButton, *this, *this, "MAIL");
}

panel_support::~panel_support() = default;

juce::String panel_support::aboutText() const
{
    // Joined with "/" whatever separators the folder path uses.
    return juce::String ("The ") + qv::maker::companyName + " Plugin Manager v" + qv::installer::version
        + " cross-platform installater. \nFeel free to drop us a line if you have any suggestions or questions "
          "concerning its use. You can edit the default installation paths in the text file found at "
        + settingsFolderPath + "/PluginManagerSettings.txt";
}

void panel_support::paint (juce::Graphics& g)
{
    const auto u = scaleUnit;

    g.fillAll (qv::colourBackground);
    qv::drawCloseMark (g, *closeButton, u);

    drawChannel (g, "DISCORD", 7.0f * u, *discordButton, discordIcon.get(), discordText, u);
    drawChannel (g, "E-MAIL", 27.0f * u, *mailButton, mailIcon.get(), mailText, u);

    g.setColour (qv::colourText);
    g.setFont (3.0f * u);
    drawHeading (g, "ABOUT " + juce::String (qv::maker::companyName).toUpperCase() + " PLUGIN MANAGER", 57.0f * u, u);
    g.drawFittedText (aboutText(), roundedRect (10.0f * u, 65.0f * u, 80.0f * u, 30.0f * u),
                      juce::Justification::topLeft, 20, 0.0f);

    g.drawSingleLineText (juce::String (juce::CharPointer_UTF8 ("\xc2\xa9 2026 ")) + qv::maker::companyName + ". All rights reserved.",
                          (int) (10.0f * u), (int) (88.0f * u));
}

void panel_support::resized()
{
    const auto u = scaleUnit;

    closeButton->setBounds (roundedRect (88.0f * u, 1.5f * u, 8.0f * u, 8.0f * u));
    discordButton->setBounds (roundedRect (10.0f * u, 15.0f * u, 10.0f * u, 10.0f * u));
    mailButton->setBounds (roundedRect (10.0f * u, 35.0f * u, 10.0f * u, 10.0f * u));
}

void panel_support::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    // A link that cannot be opened changes nothing; the panel stays open either way.
    if (name == "X")
        qv::detachFromParent (*this);
    else if (name == "DISCORD")
        juce::URL (juce::String (discordInviteUrl)).launchInDefaultBrowser();
    else if (name == "MAIL")
        juce::URL (juce::String (supportMailtoUrl)).launchInDefaultBrowser();
}
