#include "FontCheck.h"
#include "ByteReader.h"

namespace qv::resourcecheck
{
    namespace
    {
        constexpr uint32_t tag (const char (&text)[5])
        {
            return ((uint32_t) (uint8_t) text[0] << 24) | ((uint32_t) (uint8_t) text[1] << 16)
                | ((uint32_t) (uint8_t) text[2] << 8) | (uint32_t) (uint8_t) text[3];
        }

        /** The table directory, read before the bytes go to JUCE, so that the usual bad inputs (no font
            at all, a truncated file, no character map) get a message of their own: JUCE's Linux loader
            dereferences a null face when FreeType rejects a font, which the probe can only report as a
            crash. */
        juce::Result checkTableDirectory (const juce::MemoryBlock& font)
        {
            const ByteReader reader (font.getData(), font.getSize());
            uint32_t version = 0;

            if (! reader.read32BigEndian (0, version))
                return juce::Result::fail ("is not a TrueType or OpenType font: it is too short");

            uint64_t directory = 0;

            if (version == tag ("ttcf"))
            {
                // A collection; JUCE loads its first font.
                uint32_t first = 0;

                if (! reader.read32BigEndian (12, first))
                    return juce::Result::fail ("is a truncated font collection");

                directory = first;

                if (! reader.read32BigEndian (directory, version))
                    return juce::Result::fail ("is a truncated font collection");
            }

            if (version != 0x00010000 && version != tag ("OTTO") && version != tag ("true"))
                return juce::Result::fail ("is not a TrueType or OpenType font");

            uint32_t tableCount = 0;

            if (! reader.read16BigEndian (directory + 4, tableCount) || tableCount == 0)
                return juce::Result::fail ("is a font without tables");

            uint64_t cmapOffset = 0;
            bool hasCmap = false;

            for (uint32_t i = 0; i < tableCount; ++i)
            {
                const auto record = directory + 12 + (uint64_t) i * 16;
                uint32_t tableTag = 0, offset = 0, length = 0;

                if (! reader.read32BigEndian (record, tableTag) || ! reader.read32BigEndian (record + 8, offset)
                    || ! reader.read32BigEndian (record + 12, length))
                    return juce::Result::fail ("is a truncated font: its table directory ends early");

                if (! reader.contains (offset, length))
                    return juce::Result::fail ("is a truncated font: a table lies outside the file");

                if (tableTag == tag ("cmap"))
                {
                    hasCmap = true;
                    cmapOffset = offset;
                }
            }

            uint32_t subtableCount = 0;

            if (! hasCmap || ! reader.read16BigEndian (cmapOffset + 2, subtableCount) || subtableCount == 0)
                return juce::Result::fail ("is a font without a character map");

            return juce::Result::ok();
        }

        bool outlineOf (juce::Typeface& typeface, juce::juce_wchar character, int& glyph, juce::Path& outline)
        {
            juce::Array<int> glyphs;
            juce::Array<float> offsets;
            typeface.getGlyphPositions (juce::String::charToString (character), glyphs, offsets);
            glyph = glyphs.isEmpty() ? 0 : glyphs.getFirst();
            return glyph != 0 && typeface.getOutlineForGlyph (glyph, outline);
        }

        /** Glyph 0 is "no glyph" to every JUCE typeface. On Linux a character the font lacks still gets
            an outline, the font's .notdef box, so 'A' is also compared with a noncharacter, which no
            font maps. */
        bool hasGlyphFor (juce::Typeface& typeface, juce::juce_wchar character)
        {
            int glyph = 0, missingGlyph = 0;
            juce::Path outline, missingOutline;

            if (! outlineOf (typeface, character, glyph, outline) || outline.isEmpty())
                return false;

            if (outlineOf (typeface, 0xfdd0, missingGlyph, missingOutline))
                return outline.toString() != missingOutline.toString();

            return true;
        }
    }

    juce::StringArray checkFont (const juce::MemoryBlock& font)
    {
        juce::StringArray problems;
        const auto directory = checkTableDirectory (font);

        if (directory.failed())
        {
            problems.add (directory.getErrorMessage());
            return problems;
        }

        // A glyph borrowed from a system font must not pass for one of this font's, so the fallback
        // names a family that does not exist.
        juce::Font::setFallbackFontName ("qv_resource_check no fallback");

        const auto typeface = juce::Typeface::createSystemTypefaceFor (font.getData(), font.getSize());

        if (typeface == nullptr)
        {
            problems.add ("does not load as a typeface");
            return problems;
        }

        if (! hasGlyphFor (*typeface, 'A'))
            problems.add ("loads as a typeface without a glyph for 'A'");

        return problems;
    }
}
