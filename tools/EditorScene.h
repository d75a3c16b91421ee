#pragma once

// The editor as a user first sees it, for the picture tools: a processor with the factory presets, prepared and
// run for one block as a host does, its editor on the desktop.

#include <functional>
#include <memory>
#include <juce_gui_basics/juce_gui_basics.h>
#include "editor/BrindlexAudioProcessorEditor.h"

namespace ToolSupport
{
    inline void copyPresets (const juce::File& from, const juce::File& to)
    {
        to.createDirectory();
        for (const auto& file : from.findChildFiles (juce::File::findFiles, false, "*.aup"))
            file.copyFileTo (to.getChildFile (file.getFileName()));
    }

    /** A processor whose company folder is a scratch folder holding the factory presets and whatever `layOut` adds
        to it (presets, settings, a news cache), with its editor on the desktop; a news service address starts its
        newsfeed. */
    struct EditorScene
    {
        EditorScene (const juce::File& factoryPresets, const std::function<void (const juce::File& company)>& layOut = {},
                     const juce::String& newsServiceAddress = {})
        {
            const auto company = base.getChildFile ("Corvantis");
            copyPresets (factoryPresets, company.getChildFile ("Presets/Brindlex/Factory"));
            if (layOut != nullptr)
                layOut (company);

            processor = std::make_unique<BrindlexAudioProcessor> (base, newsServiceAddress);
            processor->prepareToPlay (48000.0, 64);
            juce::AudioBuffer<float> buffer (2, 64);
            buffer.clear();
            juce::MidiBuffer midi;
            processor->processBlock (buffer, midi);

            editor.reset (processor->createEditorIfNeeded());
            editor->setTopLeftPosition (0, 0);
            editor->setVisible (true);
            editor->addToDesktop (0);
            // A pop-up menu closes at once in a process that has no focused window, as after a switch of
            // application; with no window manager on the display, the window takes the focus itself.
            editor->getPeer()->grabFocus();
        }

        ~EditorScene()
        {
            editor->removeFromDesktop();
            processor->editorBeingDeleted (editor.get());
            editor.reset();
            processor.reset();
            base.deleteRecursively();
        }

        auto& view() { return *dynamic_cast<BrindlexAudioProcessorEditor*> (editor.get()); }

        /** The editor with every other window of ours (open menus) drawn over it where it stands on screen. */
        juce::Image render()
        {
            juce::Image image (juce::Image::ARGB, editor->getWidth() + 200, editor->getHeight() + 100, true);
            juce::Graphics g (image);
            g.drawImageAt (editor->createComponentSnapshot (editor->getLocalBounds()), 0, 0);

            auto& desktop = juce::Desktop::getInstance();
            for (int i = 0; i < desktop.getNumComponents(); ++i)
            {
                auto* window = desktop.getComponent (i);
                if (window == editor.get() || ! window->isVisible())
                    continue;

                const auto at = window->getScreenPosition() - editor->getScreenPosition();
                g.drawImageAt (window->createComponentSnapshot (window->getLocalBounds()), at.x, at.y);
            }

            return image.getClippedImage (juce::Rectangle<int> (editor->getWidth(), editor->getHeight())
                                              .getUnion (menuArea()));
        }

        juce::Rectangle<int> menuArea()
        {
            juce::Rectangle<int> area;
            auto& desktop = juce::Desktop::getInstance();
            for (int i = 0; i < desktop.getNumComponents(); ++i)
                if (auto* window = desktop.getComponent (i); window != editor.get() && window->isVisible())
                    area = area.getUnion (window->getScreenBounds() - editor->getScreenPosition());
            return area.getIntersection ({ 0, 0, editor->getWidth() + 200, editor->getHeight() + 100 });
        }

        juce::File base { juce::File::createTempFile ("brindlex-pictures") };
        std::unique_ptr<BrindlexAudioProcessor> processor;
        std::unique_ptr<juce::AudioProcessorEditor> editor;
    };
}
