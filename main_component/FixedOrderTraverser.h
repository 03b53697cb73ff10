#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <vector>

namespace qv
{
    /** Keyboard focus traversal through a list its owner gives, asked afresh at each step. There is
        no default component, so nothing takes the focus until the first Tab; past either end the
        list has no neighbour, and JUCE wraps round to its other end. */
    class FixedOrderTraverser final : public juce::ComponentTraverser
    {
    public:
        explicit FixedOrderTraverser (std::function<std::vector<juce::Component*>()> orderToUse)
            : order (std::move (orderToUse))
        {
        }

        juce::Component* getDefaultComponent (juce::Component*) override { return nullptr; }
        juce::Component* getNextComponent (juce::Component* current) override { return neighbour (current, 1); }
        juce::Component* getPreviousComponent (juce::Component* current) override { return neighbour (current, -1); }
        std::vector<juce::Component*> getAllComponents (juce::Component*) override { return order(); }

    private:
        juce::Component* neighbour (juce::Component* current, int step) const
        {
            const auto all = order();
            const auto found = std::find (all.begin(), all.end(), current);

            if (found == all.end())
                return nullptr;

            const auto index = std::distance (all.begin(), found) + step;
            return index >= 0 && index < (std::ptrdiff_t) all.size() ? all[(size_t) index] : nullptr;
        }

        std::function<std::vector<juce::Component*>()> order;
    };
}
