#include "PixelChecks.h"
#include <cstdlib>

namespace qvtest
{
    juce::Colour over (juce::Colour background, juce::Colour fill)
    {
        return background.overlaidWith (fill);
    }

    ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance)
    {
        const auto actual = image.getPixelAt (x, y);
        const auto close = [tolerance] (int a, int b) { return std::abs (a - b) <= tolerance; };

        if (actual.getAlpha() == 255
            && close (actual.getRed(), expected.getRed())
            && close (actual.getGreen(), expected.getGreen())
            && close (actual.getBlue(), expected.getBlue()))
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << actual.toDisplayString (true)
                                             << ", expected " << expected.toDisplayString (true);
    }

    juce::Colour brightest (const juce::Image& image, juce::Rectangle<int> area)
    {
        juce::Colour best;
        int bestSum = -1;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                const auto sum = c.getRed() + c.getGreen() + c.getBlue();

                if (sum > bestSum)
                {
                    best = c;
                    bestSum = sum;
                }
            }

        return best;
    }

    int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance)
    {
        int count = 0;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                const auto c = image.getPixelAt (x, y);

                if (std::abs (c.getRed() - colour.getRed()) <= tolerance
                    && std::abs (c.getGreen() - colour.getGreen()) <= tolerance
                    && std::abs (c.getBlue() - colour.getBlue()) <= tolerance)
                    ++count;
            }

        return count;
    }

    void saveArtifact (const juce::Image& image, const juce::String& name)
    {
        const auto folder = juce::File (QV_TEST_ARTIFACTS_DIR).getChildFile ("gui");
        ASSERT_TRUE (folder.createDirectory());

        const auto file = folder.getChildFile (name + ".png");
        file.deleteFile();
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
    }
}
