#include "GuiTestSupport.h"
#include "panels/panel_eula.h"
#include "theme/FontHelpers.h"
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

    // Ink columns of a text: those with a pixel clearly unlike the colour it is drawn on.
    juce::Range<int> inkColumns (const juce::Image& image, juce::Rectangle<int> area, juce::Colour base)
    {
        int first = -1, last = -1;

        for (int x = area.getX(); x < area.getRight(); ++x)
            for (int y = area.getY(); y < area.getBottom(); ++y)
                if (const auto c = image.getPixelAt (x, y);
                    std::abs (c.getRed() - base.getRed()) + std::abs (c.getGreen() - base.getGreen()) + std::abs (c.getBlue() - base.getBlue()) > 60)
                {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }

        return { first, last + 1 };
    }

    bool sameRegion (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
    {
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;

        return true;
    }
}

class MainScreen : public OnScreenMain
{};

TEST_F (MainScreen, FixedShapesSitOnTheGridAtBothSizes)
{
    struct Probe
    {
        const char* what;
        int x, y;
        juce::Colour expected;
    };

    const Probe at600[] {
        { "top bar", 300, 2, qv::colourInstalled },
        { "top bar right end", 599, 5, qv::colourInstalled },
        { "below the top bar", 300, 6, background },
        { "grip dot bottom right", 591, 591, greyAt (0.5f) },
        { "grip dot above it", 591, 579, greyAt (0.5f) },
        { "grip dot left of it", 579, 591, greyAt (0.5f) },
        { "no fourth grip dot", 579, 579, background },
        { "between grip dots", 585, 591, background },
        { "FORMATS rule", 300, 165, qv::colourText },
        { "EXTRAS rule", 300, 429, qv::colourText },
        { "EULA tile", 28, 471, greyAt (0.5f) },
        { "MANUAL tile", 97, 471, greyAt (0.5f) },
        { "WEBSITE tile", 166, 471, greyAt (0.5f) },
        { "SUPPORT tile", 235, 471, greyAt (0.5f) },
        { "INSTALL tile", 520, 471, greyAt (0.5f) },
        { "between EULA and MANUAL", 88, 471, background },
        { "SELECT ALL", 483, 147, greyAt (0.1f) },
        { "VST3 row", 282, 210, greyAt (0.35f) },
        { "CLAP row", 564, 210, greyAt (0.35f) },
        { "AAX row", 282, 282, greyAt (0.35f) },
        { "no fourth row", 564, 282, background },
    };

    // At 900 the extras round half to even: 139.5 -> 140, 346.5 -> 346, 661.5 -> 662.
    const Probe at900[] {
        { "top bar", 450, 8, qv::colourInstalled },
        { "below the top bar", 450, 9, background },
        { "grip dot bottom right", 886, 886, greyAt (0.5f) },
        { "grip dot above it", 886, 868, greyAt (0.5f) },
        { "grip dot left of it", 868, 886, greyAt (0.5f) },
        { "no fourth grip dot", 868, 868, background },
        { "FORMATS rule", 450, 248, qv::colourText },
        { "EXTRAS rule", 450, 644, qv::colourText },
        { "MANUAL tile first column", 140, 707, greyAt (0.5f) },
        { "left of MANUAL", 139, 707, background },
        { "SUPPORT tile first column", 346, 707, greyAt (0.5f) },
        { "left of SUPPORT", 345, 707, background },
        { "EULA tile top row", 80, 662, greyAt (0.5f) },
        { "above EULA", 80, 661, background },
        { "SELECT ALL", 724, 220, greyAt (0.1f) },
        { "VST3 row", 423, 315, greyAt (0.35f) },
    };

    const auto check = [] (const juce::Image& image, const auto& probes) {
        for (const auto& p : probes)
        {
            SCOPED_TRACE (p.what);
            EXPECT_TRUE (pixelIs (image, p.x, p.y, p.expected));
        }
    };

    const auto image600 = render();
    check (image600, at600);
    saveArtifact (image600, "main-600");

    const auto image900 = render (900);
    check (image900, at900);
    saveArtifact (image900, "main-900");
}

TEST_F (MainScreen, FormatRowsShowTheirFourFillsAndTheSelectionOutline)
{
    struct Case
    {
        bool installed, hovered, selected;
        juce::Colour fill;
    };
    const Case cases[] {
        { true, true, false, over (background, qv::colourInstalled) },
        { true, false, false, over (background, qv::colourInstalled.withAlpha (0.9f)) },
        { false, true, false, greyAt (0.5f) },
        { false, false, false, greyAt (0.35f) },
        { true, true, true, over (background, qv::colourInstalled) },
        { true, false, true, over (background, qv::colourInstalled.withAlpha (0.9f)) },
        { false, true, true, greyAt (0.5f) },
        { false, false, true, greyAt (0.35f) },
    };

    auto& clapRow = *main->formatButtons[1]; // (306, 180, 270, 60)
    const auto bundle = main->bundleFileFor (1);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ("installed ") + (c.installed ? "yes" : "no") + ", hovered " + (c.hovered ? "yes" : "no")
                      + ", selected " + (c.selected ? "yes" : "no"));

        bundle.deleteRecursively();
        if (c.installed)
            makeInstalled (1);

        main->formatSelected = { false, c.selected, false };

        if (c.hovered)
            mouse->moveOver (clapRow);
        else
            mouse->leave();

        const auto image = render();
        saveArtifact (image, juce::String ("row-") + (c.installed ? "installed" : "absent") + (c.hovered ? "-hovered" : "") + (c.selected ? "-selected" : ""));
        EXPECT_TRUE (pixelIs (image, 564, 210, c.fill));
        EXPECT_TRUE (pixelIs (image, 310, 225, c.fill));

        // The outline is 0.5u thick, centred on the row's edge: 574.5 .. 577.5 on the right.
        EXPECT_TRUE (pixelIs (image, 575, 210, c.selected ? qv::colourSelected : c.fill));
        EXPECT_TRUE (pixelIs (image, 578, 210, background));

        // The neighbours keep their own look.
        EXPECT_TRUE (pixelIs (image, 282, 210, greyAt (0.35f)));
        EXPECT_TRUE (pixelIs (image, 293, 210, greyAt (0.35f)));
    }
}

TEST_F (MainScreen, PressingARowDoesNotChangeItsLook)
{
    auto& vst3Row = *main->formatButtons[0];

    mouse->moveOver (vst3Row);
    const auto hovered = render().getPixelAt (282, 210);

    mouse->press();
    ASSERT_TRUE (vst3Row.isMouseButtonDown (false));
    EXPECT_TRUE (pixelIs (render(), 282, 210, hovered));
    EXPECT_TRUE (pixelIs (render(), 282, 210, greyAt (0.5f)));
    mouse->release();
}

TEST_F (MainScreen, IconTilesFollowTheMouseThroughIdleHoverPressAndRelease)
{
    struct Tile
    {
        const char* name;
        juce::Point<int> probe;
    };
    const Tile tiles[] {
        { "EULA", { 28, 471 } },
        { "MANUAL", { 97, 471 } },
        { "WEBSITE", { 166, 471 } },
        { "SUPPORT", { 235, 471 } },
        { "INSTALL", { 520, 471 } },
    };

    // Links and the install run would fire on release; the press is released off the tile.
    for (const auto& tile : tiles)
    {
        SCOPED_TRACE (tile.name);
        auto& button = buttonNamed (tile.name);
        EXPECT_TRUE (pixelIs (render(), tile.probe.x, tile.probe.y, greyAt (0.5f)));

        mouse->moveOver (button);
        EXPECT_TRUE (pixelIs (render(), tile.probe.x, tile.probe.y, greyAt (0.75f)));

        mouse->press();
        EXPECT_TRUE (pixelIs (render(), tile.probe.x, tile.probe.y, qv::colourActive));

        mouse->moveTo ({ 300, 560 }); // dragged off: no longer over, still pressed on it
        EXPECT_TRUE (pixelIs (render(), tile.probe.x, tile.probe.y, qv::colourActive));
        mouse->release();

        EXPECT_TRUE (pixelIs (render(), tile.probe.x, tile.probe.y, greyAt (0.5f)));
    }

    EXPECT_EQ (main->eulaPanel, nullptr);
    EXPECT_EQ (main->supportPanel, nullptr);
    EXPECT_EQ (main->successPanel, nullptr);
}

TEST_F (MainScreen, ReleasingOverATileLeavesItHoveredUntilThePointerLeaves)
{
    // MANUAL's click only hands a link to the system, which is recorded here instead.
    LinkRecorder links;
    auto& manual = buttonNamed ("MANUAL");

    mouse->moveOver (manual);
    mouse->press();
    EXPECT_TRUE (pixelIs (render(), 97, 471, qv::colourActive));
    mouse->release();
    EXPECT_EQ (links.waitFor (1).size(), 1);

    EXPECT_TRUE (pixelIs (render(), 97, 471, greyAt (0.75f)));
    mouse->leave();
    EXPECT_TRUE (pixelIs (render(), 97, 471, greyAt (0.5f)));
}

TEST_F (MainScreen, SelectAllShowsOnlyItsPress)
{
    auto& selectAll = *main->selectAllButton;
    const juce::Rectangle<int> box (486, 139, 84, 16); // inside the corners, around the caption

    const auto idle = render();
    EXPECT_TRUE (pixelIs (idle, 483, 147, greyAt (0.1f)));
    EXPECT_GT (countNear (idle, box, qv::colourText, 10), 5);
    EXPECT_EQ (countNear (idle, box, qv::colourIcon, 4), 0);

    mouse->moveOver (selectAll);
    EXPECT_TRUE (pixelIs (render(), 483, 147, greyAt (0.1f)));

    mouse->press();
    const auto pressed = render();
    saveArtifact (pressed, "select-all-pressed");
    EXPECT_TRUE (pixelIs (pressed, 483, 147, qv::colourActive));
    EXPECT_GT (countNear (pressed, box, qv::colourIcon, 10), 5);
    EXPECT_EQ (countNear (pressed, box, qv::colourText, 4), 0);

    mouse->release();
    EXPECT_TRUE (pixelIs (render(), 483, 147, greyAt (0.1f)));
}

TEST_F (MainScreen, HeaderTextsHaveTheirColours)
{
    const auto image = render();

    struct Case
    {
        const char* what;
        juce::Rectangle<int> area;
        juce::Colour strongest;
    };
    const Case cases[] {
        { "QUOR", { 24, 8, 50, 24 }, qv::colourTextBright },
        { "VANE", { 78, 8, 50, 24 }, qv::colourText },
        { "product name", { 24, 48, 250, 52 }, qv::colourText },
        { "version line", { 24, 104, 250, 16 }, greyAt (0.5f) },
        { "PLUGIN MANAGER", { 450, 8, 140, 17 }, greyAt (0.5f) },
        { "FORMATS", { 24, 136, 120, 20 }, qv::colourText },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto found = brightest (image, c.area);
        EXPECT_NEAR (found.getRed(), c.strongest.getRed(), 3);
        EXPECT_NEAR (found.getGreen(), c.strongest.getGreen(), 3);
        EXPECT_NEAR (found.getBlue(), c.strongest.getBlue(), 3);
    }
}

TEST_F (MainScreen, SingleLineTextsSitOnTruncatedPositions)
{
    // At a width of 605, u = 6.05: "VANE" starts at int (78.65) = 78 on baseline int (30.25) = 30.
    const auto image = render (605);
    saveArtifact (image, "main-605");
    const auto u = 6.05f;
    const juce::Rectangle<int> area (76, 8, 64, 27); // clear of the top bar and of "QUOR"

    const auto reference = [&] (int x) {
        juce::Image ref (juce::Image::ARGB, 605, 605, true);
        juce::Graphics g (ref);
        g.fillAll (background);
        g.setColour (qv::colourText);
        g.setFont (qv::fontWithTypeface (main->customLookAndFeel.regularTypeface, 4.0f * u));
        g.drawSingleLineText ("VANE", x, 30);
        return ref;
    };

    EXPECT_TRUE (sameRegion (image, reference (78), area));
    EXPECT_FALSE (sameRegion (image, reference (79), area));
}

TEST_F (MainScreen, ShiftTurnsTheInstallCaptionIntoUninstallAndNothingElse)
{
    const juce::Rectangle<int> caption (500, 504, 92, 20);
    const juce::Rectangle<int> tile (516, 441, 60, 60);

    const auto plain = render();
    main->shiftHeld = true;
    const auto shifted = render();
    saveArtifact (shifted, "main-shift");

    EXPECT_TRUE (sameRegion (plain, shifted, tile));
    EXPECT_TRUE (sameRegion (plain, shifted, { 0, 0, 600, 500 }));
    EXPECT_FALSE (sameRegion (plain, shifted, caption));
    EXPECT_GT (inkColumns (shifted, caption, background).getLength(), inkColumns (plain, caption, background).getLength());
}

TEST_F (MainScreen, InstalledRowsNameTheirVersionUnderTheFormat)
{
    // Same row, same fill: only the status text differs between a bundle with a version and one without.
    makeInstalled (0);
    const auto noVersion = render();

    main->bundleFileFor (0).getChildFile ("Contents/Resources/moduleinfo.json").create();
    main->bundleFileFor (0).getChildFile ("Contents/Resources/moduleinfo.json").replaceWithText (R"({ "Version": "1.0.4" })");
    ASSERT_EQ (main->installedVersionOf (0), "1.0.4");
    const auto withVersion = render();
    saveArtifact (withVersion, "row-with-version");

    const juce::Rectangle<int> name (93, 189, 180, 20), status (93, 211, 190, 20);
    EXPECT_TRUE (sameRegion (noVersion, withVersion, name));
    EXPECT_FALSE (sameRegion (noVersion, withVersion, status));
    const auto rowFill = over (background, qv::colourInstalled.withAlpha (0.9f));
    EXPECT_GT (inkColumns (withVersion, status, rowFill).getLength(), inkColumns (noVersion, status, rowFill).getLength());
}
