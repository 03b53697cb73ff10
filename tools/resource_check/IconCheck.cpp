#include "IconCheck.h"

namespace qv::resourcecheck
{
    namespace
    {
        struct Paint
        {
            bool drawsSomething = false;
            bool drawsOpaqueBlack = false;
        };

        bool isOpaqueBlack (const juce::FillType& fill)
        {
            // Gradients and images are left alone by replaceColour, whatever colours they hold.
            return fill.isColour() && fill.colour == juce::Colours::black;
        }

        /** What the visible parts of a drawable tree paint. Hidden layers (display:none) do not count:
            their black would be recoloured but never seen. The root is drawn whatever its own flag says. */
        void collectPaint (const juce::Component& component, Paint& paint, bool isRoot)
        {
            if (! isRoot && ! component.isVisible())
                return;

            if (auto* shape = dynamic_cast<const juce::DrawableShape*> (&component))
            {
                const auto hasArea = ! shape->getDrawableBounds().isEmpty();
                const auto& fill = shape->getFill();
                const auto& stroke = shape->getStrokeFill();
                const auto stroked = shape->getStrokeType().getStrokeThickness() > 0.0f;

                if (hasArea && ! fill.isInvisible())
                    paint.drawsSomething = true;

                if (hasArea && stroked && ! stroke.isInvisible())
                    paint.drawsSomething = true;

                if (hasArea && (isOpaqueBlack (fill) || (stroked && isOpaqueBlack (stroke))))
                    paint.drawsOpaqueBlack = true;
            }
            else if (auto* text = dynamic_cast<const juce::DrawableText*> (&component))
            {
                if (text->getText().isNotEmpty() && ! text->getColour().isTransparent())
                {
                    paint.drawsSomething = true;

                    if (text->getColour() == juce::Colours::black)
                        paint.drawsOpaqueBlack = true;
                }
            }
            else if (dynamic_cast<const juce::DrawableImage*> (&component) != nullptr)
            {
                paint.drawsSomething = true;
            }

            for (auto* child : component.getChildren())
                collectPaint (*child, paint, false);
        }

        /** juce::XmlDocument accepts a document cut off inside its last closing tag ("...</sv"), or
            even right after the root's name, so a truncated icon would pass as long as what is left
            draws. The text has to end with the root element's end (comments may follow). */
        bool endsWithRoot (juce::String text, const juce::XmlElement& root)
        {
            text = text.trimEnd();

            while (text.endsWith ("-->") && text.contains ("<!--"))
                text = text.substring (0, text.lastIndexOf ("<!--")).trimEnd();

            if (! text.endsWithChar ('>'))
                return false;

            const auto lastEndTag = text.lastIndexOf ("</");

            if (lastEndTag < 0)
                return text.endsWith ("/>") && root.getNumChildElements() == 0;

            return text.substring (lastEndTag + 2).dropLastCharacters (1).trim() == root.getTagName();
        }
    }

    juce::StringArray checkIcon (const juce::MemoryBlock& svg, bool recoloured)
    {
        juce::StringArray problems;
        const auto text = juce::String::createStringFromData (svg.getData(), (int) svg.getSize());

        juce::XmlDocument document (text);
        const auto xml = document.getDocumentElement();

        if (xml == nullptr)
        {
            const auto error = document.getLastParseError();
            problems.add ("does not parse as SVG: " + (error.isNotEmpty() ? error : juce::String ("no XML document")));
            return problems;
        }

        if (! endsWithRoot (text, *xml))
        {
            problems.add ("does not parse as SVG: it ends before the end tag of its <" + xml->getTagName() + "> element");
            return problems;
        }

        if (! xml->hasTagNameIgnoringNamespace ("svg"))
        {
            problems.add ("does not parse as SVG: its root element is <" + xml->getTagName() + ">, not <svg>");
            return problems;
        }

        const auto drawable = juce::Drawable::createFromImageData (svg.getData(), svg.getSize());

        if (drawable == nullptr || dynamic_cast<juce::DrawableImage*> (drawable.get()) != nullptr)
        {
            problems.add ("does not yield a drawable from its SVG");
            return problems;
        }

        Paint paint;
        collectPaint (*drawable, paint, true);

        if (! paint.drawsSomething)
            problems.add ("parses as SVG but draws nothing visible");
        else if (recoloured && ! paint.drawsOpaqueBlack)
            problems.add ("is recoloured by the program but draws no opaque black fill or stroke to recolour");

        return problems;
    }
}
