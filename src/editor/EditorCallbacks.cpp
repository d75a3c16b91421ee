// The controls' callbacks: values written back to the parameters inside host gestures.

#include "BrindlexAudioProcessorEditor.h"

using namespace EditorControlTable;

int BrindlexAudioProcessorEditor::slotOf (const juce::Slider* slider) const
{
    for (size_t slot = 0; slot < sliders.size(); ++slot)
        if (sliders[slot].get() == slider)
            return (int) slot;

    return -1;
}

KT_NewFloatParameter* BrindlexAudioProcessorEditor::getParameterForSlider (juce::Slider* slider) const
{
    const int slot = slotOf (slider);
    return slot < 0 ? nullptr : sliderParameters[(size_t) slot];
}

void BrindlexAudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    auto* parameter = sliderParameters[(size_t) slot];
    const auto v = (float) slider->getValue();
    parameter->setValue (v);
    parameter->sendValueChangedMessageToListeners (v);
    captionLabelOf (sliderRows[(size_t) slot].group).setText (parameter->getText (parameter->getValue(), 2), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    auto* parameter = sliderParameters[(size_t) slot];
    parameter->beginChangeGesture();
    captionLabelOf (sliderRows[(size_t) slot].group).setText (parameter->getText (parameter->getValue(), 2), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    const int slot = slotOf (slider);
    if (slot < 0)
        return;

    sliderParameters[(size_t) slot]->endChangeGesture();
    const auto group = sliderRows[(size_t) slot].group;
    captionLabelOf (group).setText (captionOf (group), juce::dontSendNotification);
}

void BrindlexAudioProcessorEditor::comboBoxChanged (juce::ComboBox* box)
{
    if (box == &presetMenu)
        return presetBrowserChanged();

    if (box == &logoMenu)
        return logoMenuChanged();

    const auto boxes = parameterComboBoxes();

    for (size_t index = 0; index < boxes.size(); ++index)
    {
        if (boxes[index] != box)
            continue;

        const int id = box->getSelectedId();
        const bool isMode = index == fbkModeLeft || index == fbkModeRight;
        const float v = isMode ? (id > 1 ? 1.0f : 0.0f)
                               : (float) (id - 1) * (1.0f / (float) (box->getNumItems() - 1));

        auto* parameter = comboParameters[index];
        parameter->setValue (v);
        parameter->sendValueChangedMessageToListeners (v);
        repaint();
        return;
    }
}

void BrindlexAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == resetSizeButton.get())
    {
        setBounds (getX(), getY(), designWidth, designHeight);
        return;
    }

    if (presetBarClicked (button))
        return;

    for (size_t slot = 0; slot < toggleButtons.size(); ++slot)
        if (toggleButtons[slot].get() == button)
            writeToggle ((int) slot);
}

void BrindlexAudioProcessorEditor::writeToggle (int toggleSlot)
{
    // Only a click that changed the toggle reaches its parameter, as one complete gesture: hovering and the
    // refresh timer (which sets the toggles without notification) never write.
    auto* parameter = toggleParameters[(size_t) toggleSlot];
    parameter->beginChangeGesture();
    const float v = toggleButtons[(size_t) toggleSlot]->getToggleState() ? 1.0f : 0.0f;
    parameter->setValue (v);
    parameter->sendValueChangedMessageToListeners (v);
    parameter->endChangeGesture();
}
