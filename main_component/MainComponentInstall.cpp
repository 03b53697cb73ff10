#include "MainComponent.h"
#include "OverlayPlacement.h"
#include "install/InstallEngine.h"
#include "install/ProblemSentences.h"
#include "panels/panel_success.h"
#include "install/RunLock.h"
#include "resources/EmbeddedArchives.h"

void MainComponent::processSelectedFormats()
{
    qv::RunRequest request;
    request.formatFolders = formatPaths;
    request.productName = productName;
    request.selected = formatSelected;
    request.uninstall = shiftHeld;
    request.archives = qv::embeddedArchives();

    // A report of the previous run gives way to the hint of the button under the mouse.
    if (std::exchange (runReport, std::nullopt).has_value())
        buttonStateChanged (installButton.get());

    // Another window or a script on the same settings file finishes first.
    qv::RunOutcome outcome;

    if (const auto lock = qv::RunLock::acquire (settingsFolder, qv::RunLock::defaultTimeoutMs()))
        outcome = qv::processFormats (request);
    else
        outcome.otherRunBusy = true;

    // Processed formats are deselected whatever their outcome.
    for (size_t i = 0; i < formatSelected.size(); ++i)
        if (outcome.processed[i])
            formatSelected[i] = false;

    // The rows show the new state on disk at the next paint.
    repaint();

    if (qv::runSentence (outcome, request.uninstall).isNotEmpty())
    {
        runReport = RunReport { outcome, request.uninstall, installButton->isMouseOver (false) ? installButton.get() : nullptr };
        showRunReport();
    }

    successPanel = std::make_unique<panel_success>();
    addAndMakeVisible (*successPanel);
    successPanel->succeeded = outcome.succeeded;
    qv::placeOverlay (*successPanel, *this, scaleUnit);

    // The animator hides the panel at once and fades a snapshot of it instead; the snapshot takes
    // no clicks, so the screen stays usable while it fades.
    juce::Desktop::getInstance().getAnimator().animateComponent (successPanel.get(), getLocalBounds(), 0.0f, 3000, true, 0.0, 0.0);

    // Screen readers hear what the fading panel shows, with the line's sentence in full.
    lastAnnouncement = qv::runAnnouncement (outcome, request.uninstall);
    juce::AccessibilityHandler::postAnnouncement (lastAnnouncement, juce::AccessibilityHandler::AnnouncementPriority::high);
}

// The sentence with its paths shortened in the middle until it fits the line: at full width if a
// path of some length can stay, else squeezed as far as the label allows.
void MainComponent::showRunReport()
{
    if (! runReport.has_value())
        return;

    const auto font = hintLabel->getFont();
    const auto width = (float) hintLabel->getBorderSize().subtractedFrom (hintLabel->getLocalBounds()).getWidth();
    const auto sentence = [this] (int pathLength) { return qv::runSentence (runReport->outcome, runReport->uninstall, pathLength); };
    const auto fits = [&] (const juce::String& text, float scale) { return font.getStringWidthFloat (text) * scale <= width; };

    auto text = sentence (qv::noPathLimit);

    for (int pathLength = 160; ! fits (text, 1.0f) && pathLength >= 24; pathLength -= 4)
        text = sentence (pathLength);

    for (int pathLength = 160; ! fits (text, hintMinimumHorizontalScale) && pathLength >= 10; pathLength -= 2)
        text = sentence (pathLength);

    hintLabel->setText (text, juce::dontSendNotification);
}
