#pragma once

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "widgets/WidgetTestSupport.h"
#include "editor/BrindlexAudioProcessorEditor.h"

/** Delivers messages until `condition` holds or `timeOutMs` have passed; true when it holds. */
template <typename Condition>
bool pumpUntil (Condition condition, int timeOutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeOutMs;
    while (! condition() && juce::Time::getMillisecondCounter() < deadline)
        pumpMessages (20);
    return condition();
}

/** Opens the real editor through the processor's createEditor, as a host does, and closes it again. */
class EditorTest : public ::testing::Test
{
protected:
    EditorTest() = default;

    /** For fixtures that lay out files (settings, presets) in the processor's folder before it starts. */
    explicit EditorTest (const std::function<void (const juce::File&)>& prepareFolder) : processor (prepareFolder) {}

    void SetUp() override { openEditor(); }
    void TearDown() override
    {
        closeEditor();
        juce::ModifierKeys::currentModifiers = {};
    }

    void openEditor()
    {
        owner.reset (processor->createEditorIfNeeded());
        editor = dynamic_cast<BrindlexAudioProcessorEditor*> (owner.get());
        ASSERT_NE (editor, nullptr);
    }

    /** As a host's wrapper does: off the desktop, the processor told, then deleted. */
    void closeEditor()
    {
        if (owner != nullptr && owner->isOnDesktop())
            owner->removeFromDesktop();
        if (owner != nullptr)
            processor->editorBeingDeleted (owner.get());
        owner.reset();
        editor = nullptr;
    }

    /** Puts the editor into a window of its own, so that mouse events can reach it. */
    void showOnDesktop()
    {
        WidgetTest::ignoreXErrors();
        editor->setTopLeftPosition (0, 0);
        editor->setVisible (true);
        editor->addToDesktop (0);
        ASSERT_NE (editor->getPeer(), nullptr);
    }

    KT_NewFloatParameter* parameter (const juce::String& id)
    {
        for (auto* p : processor->paramTable)
            if (p->paramID == id)
                return p;

        ADD_FAILURE() << "no parameter " << id;
        return nullptr;
    }

    TestProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> owner;
    BrindlexAudioProcessorEditor* editor = nullptr;
};

/** Moves and presses the mouse inside a component's window through its peer, as the windowing system does. */
class MouseDriver
{
public:
    explicit MouseDriver (juce::Component& windowContent) : window (windowContent) {}

    void moveTo (juce::Point<float> p) { send (p, {}); }
    void press (juce::Point<float> p) { send (p, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)); }
    void dragTo (juce::Point<float> p) { press (p); }
    void release (juce::Point<float> p) { moveTo (p); }

    void click (juce::Point<float> p)
    {
        moveTo (p);
        press (p);
        release (p);
        time += 1000; // keeps the next click from counting as a double-click
    }

    static juce::Point<float> centreOf (const juce::Component& c) { return c.getBounds().toFloat().getCentre(); }

private:
    void send (juce::Point<float> p, juce::ModifierKeys mods)
    {
        time += 20;
        juce::ModifierKeys::currentModifiers = mods;
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, p, mods,
                                            juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation, time);
    }

    juce::Component& window;
    juce::int64 time = juce::Time::currentTimeMillis();
};

/** Listens to every parameter as a host's wrapper does and records what reaches it: "b3" a gesture of parameter 3
    begins, "v3" a value arrives, "e3" the gesture ends. */
class HostRecorder : private juce::AudioProcessorParameter::Listener
{
public:
    explicit HostRecorder (juce::AudioProcessor& p) : parameters (p.getParameters())
    {
        for (auto* parameter : parameters)
            parameter->addListener (this);
    }

    ~HostRecorder() override
    {
        for (auto* parameter : parameters)
            parameter->removeListener (this);
    }

    juce::StringArray events;
    float lastValue = -1.0f;

private:
    void parameterValueChanged (int index, float value) override
    {
        events.add ("v" + juce::String (index));
        lastValue = value;
    }

    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "b" : "e") + juce::String (index)); }

    juce::Array<juce::AudioProcessorParameter*> parameters;
};
