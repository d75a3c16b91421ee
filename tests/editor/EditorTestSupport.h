#pragma once

#include "TestSupport.h"
#include "widgets/WidgetTestSupport.h"
#include "editor/BrindlexAudioProcessorEditor.h"

/** Opens the real editor through the processor's createEditor, as a host does, and closes it again. */
class EditorTest : public ::testing::Test
{
protected:
    EditorTest() = default;
    explicit EditorTest (const std::function<void (const juce::File&)>& prepareFolder) : processor (prepareFolder) {}

    void SetUp() override { openEditor(); }
    void TearDown() override { closeEditor(); }

    void openEditor()
    {
        owner.reset (processor->createEditorIfNeeded());
        editor = dynamic_cast<BrindlexAudioProcessorEditor*> (owner.get());
        ASSERT_NE (editor, nullptr);
    }

    /** As a host's wrapper does: off the desktop, the processor told, then deleted. */
    void closeEditor()
    {
        if (owner == nullptr)
            return;
        owner->removeFromDesktop();
        processor->editorBeingDeleted (owner.get());
        owner.reset();
        editor = nullptr;
    }

    /** Puts the editor into a window of its own, so that mouse events can reach it. */
    void showOnDesktop()
    {
        WidgetTest::ignoreXErrors();
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
struct MouseDriver
{
    void moveTo (juce::Point<float> p) { send (p, {}); }
    void press (juce::Point<float> p) { send (p, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)); }
    void click (juce::Point<float> p) { moveTo (p); press (p); moveTo (p); time += 1000; } // 1 s apart: no double-clicks
    static juce::Point<float> centreOf (const juce::Component& c) { return c.getBounds().toFloat().getCentre(); }
    void send (juce::Point<float> p, juce::ModifierKeys mods)
    {
        juce::ModifierKeys::currentModifiers = mods;
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, p, mods, juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation, time += 20);
    }

    juce::Component& window;
    juce::int64 time = juce::Time::currentTimeMillis();
};

/** Listens to every parameter as a host's wrapper does: "b3" a gesture of parameter 3 begins, "v3" a value arrives,
    "e3" the gesture ends. */
struct HostRecorder : private juce::AudioProcessorParameter::Listener
{
    explicit HostRecorder (juce::AudioProcessor& p) : parameters (p.getParameters()) { for (auto* q : parameters) q->addListener (this); }
    ~HostRecorder() override { for (auto* q : parameters) q->removeListener (this); }

    juce::String take() { return std::exchange (events, {}).joinIntoString (" "); }
    void parameterValueChanged (int index, float) override { events.add ("v" + juce::String (index)); }
    void parameterGestureChanged (int index, bool starting) override { events.add ((starting ? "b" : "e") + juce::String (index)); }

    juce::Array<juce::AudioProcessorParameter*> parameters;
    juce::StringArray events;
};
