#include "MainComponent.h"
#include "FixedOrderTraverser.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"

std::vector<juce::Component*> MainComponent::keyboardOrder() const
{
    return { formatButtons[0].get(), formatButtons[1].get(), formatButtons[2].get(), selectAllButton.get(),
             installButton.get(), extraButtons[0].get(), extraButtons[1].get(), extraButtons[2].get(), extraButtons[3].get() };
}

juce::Button* MainComponent::focusedButton() const
{
    for (auto* button : keyboardOrder())
        if (button->hasKeyboardFocus (false))
            return static_cast<juce::Button*> (button);

    return nullptr;
}

std::unique_ptr<juce::ComponentTraverser> MainComponent::createKeyboardFocusTraverser()
{
    return std::make_unique<qv::FixedOrderTraverser> ([this] {
        return panelIsOpen() ? std::vector<juce::Component*>() : keyboardOrder();
    });
}

bool MainComponent::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::escapeKey))
        return closePanels();

    auto* focused = focusedButton();

    if (key.isKeyCode (juce::KeyPress::tabKey))
    {
        // From a button JUCE moves the focus on through this component's traverser.
        if (focused != nullptr)
            return false;

        // From nowhere the focus enters the order at its start, or at its end with Shift.
        if (const auto order = createKeyboardFocusTraverser()->getAllComponents (this); ! order.empty())
        {
            const juce::ScopedValueSetter<bool> byTab (focusEnteringByTab, true);
            (key.getModifiers().isShiftDown() ? order.back() : order.front())->grabKeyboardFocus();
        }

        return true;
    }

    if (focused != nullptr && (key.isKeyCode (juce::KeyPress::spaceKey) || key.isKeyCode (juce::KeyPress::returnKey)))
    {
        // The buttons under a panel take no presses. Shift is taken from the key itself: its own
        // change may never have reached this component (pressed while the window was elsewhere).
        if (! panelIsOpen())
        {
            modifierKeysChanged (key.getModifiers());
            buttonClicked (focused);
        }

        return true;
    }

    return false;
}

// The window itself holds the focus when nothing in it asked for it (as it first gets it); keys
// only reach this component while it or a child has the focus.
void MainComponent::globalFocusChanged (juce::Component* focused)
{
    if (focused != nullptr && focused != this && focused == getTopLevelComponent())
        grabKeyboardFocus();
}

bool MainComponent::panelIsOpen() const
{
    return (eulaPanel != nullptr && eulaPanel->getParentComponent() == this)
        || (supportPanel != nullptr && supportPanel->getParentComponent() == this);
}

bool MainComponent::closePanels()
{
    if (! panelIsOpen())
        return false;

    for (auto* panel : { static_cast<juce::Component*> (eulaPanel.get()), static_cast<juce::Component*> (supportPanel.get()) })
        if (panel != nullptr && panel->getParentComponent() == this)
            removeChildComponent (panel);

    if (panelOpener != nullptr && isParentOf (panelOpener))
        panelOpener->grabKeyboardFocus();

    return true;
}

// The ring and the line follow the focus. The mouse over a button with a hint keeps the line; a
// run's sentence gives way to a move by Tab only, not to the window getting the focus back.
void MainComponent::followKeyboardFocus (bool byTab)
{
    auto* focused = focusedButton();

    if (focused == followedFocus.getComponent())
        return;

    followedFocus = focused;
    repaint();

    for (auto* button : keyboardOrder())
        if (button->isMouseOver (false) && hintFor (*static_cast<juce::Button*> (button)).has_value())
            return;

    if (runReport.has_value())
    {
        if (! byTab)
            return;

        runReport.reset();
    }

    hintLabel->setText (focusHint(), juce::dontSendNotification);
}
