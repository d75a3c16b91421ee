// Renders the README's pictures of the editor, under a display (Xvfb): the editor with the init preset loaded,
// and the editor with the preset browser's menu open over a small folder tree.
// Usage: BrindlexPictures <factory presets folder> <output folder>

#include <juce_gui_basics/juce_gui_basics.h>
#include <dlfcn.h>
#include <functional>
#include <iostream>
#include "editor/BrindlexAudioProcessorEditor.h"

namespace
{
    /** Windows on a bare display can draw X errors about properties no window manager created; a host or a
        JUCE application ignores them, and so does this tool, instead of letting Xlib end the process. */
    void ignoreXErrors()
    {
        using ErrorHandler = int (*) (void*, void*);
        using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

        if (auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY))
            if (auto* setHandler = reinterpret_cast<SetErrorHandler> (dlsym (x11, "XSetErrorHandler")))
                setHandler ([] (void*, void*) { return 0; });
    }

    /** A processor whose presets folder is a scratch folder filled by `layOut`, with its editor on the desktop. */
    struct Scene
    {
        Scene (const std::function<void (const juce::File& presets)>& layOut)
        {
            base.createDirectory();
            layOut (base.getChildFile ("Corvantis/Presets/Brindlex"));
            processor = std::make_unique<BrindlexAudioProcessor> (base);
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

        ~Scene()
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

    bool save (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream out (file);
        return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
    }

    void copyPresets (const juce::File& from, const juce::File& to)
    {
        to.createDirectory();
        for (const auto& file : from.findChildFiles (juce::File::findFiles, false, "*.aup"))
            file.copyFileTo (to.getChildFile (file.getFileName()));
    }

    /** Runs `steps` one after another on the message loop, `delay` ms apart, then stops the loop. */
    void runSteps (std::vector<std::function<void()>> steps, int delay)
    {
        auto remaining = std::make_shared<std::vector<std::function<void()>>> (std::move (steps));
        auto next = std::make_shared<std::function<void()>>();
        *next = [remaining, next, delay]
        {
            if (remaining->empty())
            {
                juce::MessageManager::getInstance()->stopDispatchLoop();
                *next = nullptr;
                return;
            }

            auto step = remaining->front();
            remaining->erase (remaining->begin());
            step();
            juce::Timer::callAfterDelay (delay, [next] { if (*next) (*next)(); });
        };
        juce::MessageManager::callAsync ([next] { (*next)(); });
        juce::MessageManager::getInstance()->runDispatchLoop();
    }
}

int main (int argc, char* argv[])
{
    if (argc != 3)
    {
        std::cerr << "Usage: BrindlexPictures <factory presets folder> <output folder>\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    ignoreXErrors();
    const juce::File factory (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File out (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    out.createDirectory();
    bool ok = true;

    // One message loop for both scenes: the framework's loop cannot be started again once stopped.
    std::unique_ptr<Scene> scene;
    const auto hoverOverFirstSubMenu = [&scene]
    {
        // As a user does, so that the "Factory" sub-menu opens too.
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
        {
            auto* window = desktop.getComponent (i);
            if (window == scene->editor.get() || window->getNumChildComponents() == 0)
                continue;

            const auto item = window->getChildComponent (0)->getBounds().getCentre().toFloat();
            juce::Desktop::setMousePosition (window->localPointToGlobal (item).roundToInt());
            for (int move = 0; move < 3; ++move)
                window->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                                     item + juce::Point<float> ((float) move, 0.0f), {},
                                                     juce::MouseInputSource::defaultPressure,
                                                     juce::MouseInputSource::defaultOrientation,
                                                     juce::Time::currentTimeMillis());
        }
    };

    runSteps ({ [&] { scene = std::make_unique<Scene> ([&] (const juce::File& presets)
                      {
                          copyPresets (factory, presets.getChildFile ("Factory"));
                      }); },
                [&] { scene->view().timerCallback(); },
                [&]
                {
                    ok = scene->view().presetMenu.getText() == "00 - INIT";
                    ok = save (scene->render(), out.getChildFile ("editor.png")) && ok;
                    scene.reset();
                },
                [&] { scene = std::make_unique<Scene> ([&] (const juce::File& presets)
                      {
                          copyPresets (factory, presets.getChildFile ("Factory"));
                          for (auto* name : { "Live/Big Room.aup", "Live/Slapback Vocal.aup", "My Echo.aup" })
                          {
                              presets.getChildFile (name).getParentDirectory().createDirectory();
                              factory.getChildFile ("00 - INIT.aup").copyFileTo (presets.getChildFile (name));
                          }
                      }); },
                [&] { scene->view().timerCallback(); },
                [&] { scene->view().presetMenu.showPopup(); },
                hoverOverFirstSubMenu,
                [] {},
                [&]
                {
                    ok = save (scene->render(), out.getChildFile ("preset-menu.png")) && ok;
                    juce::PopupMenu::dismissAllActiveMenus();
                },
                [&] { scene.reset(); } },
              400);

    ok = ok && out.getChildFile ("editor.png").existsAsFile() && out.getChildFile ("preset-menu.png").existsAsFile();
    std::cout << (ok ? "Wrote " : "Failed to write ") << out.getChildFile ("editor.png").getFullPathName() << " and "
              << out.getChildFile ("preset-menu.png").getFullPathName() << "\n";
    return ok ? 0 : 1;
}
