// Renders the README's pictures of the editor, under a display (Xvfb): the editor with the init preset loaded,
// and the editor with the preset browser's menu open over a small folder tree.
// Usage: BrindlexPictures <factory presets folder> <output folder>

#include <juce_gui_basics/juce_gui_basics.h>
#include <iostream>
#include "EditorScene.h"
#include "ToolSupport.h"

using namespace ToolSupport;

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
    std::unique_ptr<EditorScene> scene;
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

    runSteps ({ [&] { scene = std::make_unique<EditorScene> (factory); },
                [&] { scene->view().timerCallback(); },
                [&]
                {
                    ok = scene->view().presetMenu.getText() == "00 - INIT";
                    ok = save (scene->render(), out.getChildFile ("editor.png")) && ok;
                    scene.reset();
                },
                [&] { scene = std::make_unique<EditorScene> (factory, [&] (const juce::File& company)
                      {
                          const auto presets = company.getChildFile ("Presets/Brindlex");
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
