// Renders every widget of the kit in its states into one PNG for the README (scripts/render-widget-sheet.sh),
// under a display (Xvfb): one captioned cell per widget and state, and the open lock menu of a locked knob.
// Usage: BrindlexWidgetSheet <output.png>

#include <iostream>
#include "ToolSupport.h"
#include "widgets/BrindlexLookAndFeel.h"
#include "widgets/BrindlexResources.h"
#include "widgets/KT_ColorKnob.h"
#include "widgets/KT_ColorSlider.h"
#include "widgets/KT_ResizableComboBox.h"
#include "widgets/KT_ResizableLabel.h"
#include "widgets/KT_TextButton.h"

using namespace ToolSupport;

namespace
{
    const juce::Colour panel (0xff2b302c), text (0xffe8e0cb), background (0xff212723);
    const juce::Colour accents[] = { juce::Colour (0xffe7bc3c), juce::Colour (0xffe3420c), juce::Colour (0xffc41e20),
                                     juce::Colour (0xff9b193f), juce::Colour (0xff6b1d44) };

    juce::Colour twin (juce::Colour c) { return c.withAlpha ((juce::uint8) 0x33); }

    /** Every widget of the kit in its states, one captioned cell each, on the editor's colours. */
    class WidgetSheet : public juce::Component
    {
        // Declared first so that it outlives every widget that uses it.
        corvantis::BrindlexLookAndFeel lf;

    public:
        static constexpr int cellW = 170, cellH = 84, columns = 6;

        WidgetSheet()
        {
            setLookAndFeel (&lf);
            lf.uiScale = 1.0f;

            for (auto value : { 0.0, 0.5, 1.0 })
                addKnob (accents[0], value, "knob " + juce::String (value, 1));
            addKnob (accents[2], 0.75, "knob 0.75, other accent");
            addKnob (accents[4], 0.3, "knob 0.3, other accent");
            menuKnob = static_cast<corvantis::KT_ColorKnob*> (widgets.getLast());

            for (auto value : { 0.0, 0.5, 1.0 })
                addSlider (accents[1], value, false, true, "bar " + juce::String (value, 1));
            addSlider (accents[1], 0.7, false, false, "bar 0.7, disabled");
            addSlider (accents[3], 0.25, true, true, "centre bar 0.25");
            addSlider (accents[3], 0.75, true, true, "centre bar 0.75");

            addButton ("LINK", false, true, juce::Button::buttonNormal, "toggle off");
            addButton ("LINK", true, true, juce::Button::buttonNormal, "toggle on");
            addButton ("LINK", true, false, juce::Button::buttonNormal, "toggle on, disabled");
            addButton ("SAVE", false, true, juce::Button::buttonOver, "hovered after click");
            addButton ("SAVE", false, true, juce::Button::buttonDown, "pressed");
            addGlyphButtons();

            addLabel ("Short", true, "label");
            addLabel ("A long caption that needs more than two lines in this narrow label", true, "label, fitted");
            addLabel ("Disabled caption", false, "label, disabled");
            addPlainLabel ("infoLabel", "INFO TEXT", "plain label, bold 11");
            addCombo ("presetMenu", "00 - INIT", false, "preset browser");
            focusedBox = addCombo ("lfoShapeLeftMenu", "Sine", true, "parameter box, focused");

            addCombo ("timeRangeLeftMenu", "Full", false, "parameter box");
            addCombo ("fbkModeLeftMenu", "Cross", false, "parameter box");
            addResizer (20, "resizer 20 x 20");
            addResizer (40, "resizer 40 x 40");
            pendingCaption = "logo SVG at 0.13, PNG logo 165 x 32";
            logoCell = nextCell (2);
            pendingCaption = "lock menu of a locked knob";
            menuCell = nextCell();

            const int rows = (index + columns - 1) / columns;
            setSize (columns * cellW, rows * cellH);
        }

        ~WidgetSheet() override
        {
            for (auto* c : widgets)
                c->setLookAndFeel (nullptr);

            setLookAndFeel (nullptr);
        }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (background);

            for (auto& cell : cells)
            {
                g.setColour (panel);
                g.fillRect (cell.reduced (3));
            }

            if (auto logo = corvantis::BrindlexResources::createLogoDrawable())
            {
                logo->replaceColour (juce::Colours::black, text);
                logo->draw (g, 1.0f, juce::AffineTransform::scale (0.13f).translated ((float) logoCell.getX() + 12.0f,
                                                                                     (float) logoCell.getY() + 12.0f));
            }

            const auto image = corvantis::BrindlexResources::getLogoImage();
            const juce::Rectangle<int> aboutPanel (logoCell.getX() + 120, logoCell.getY() + 8, 175, 42);
            g.setColour (juce::Colour (0xff393a3c));
            g.fillRect (aboutPanel);
            g.drawImageAt (image, aboutPanel.getX() + 5, aboutPanel.getY() + 5);
        }

        juce::OwnedArray<juce::Component> widgets;
        juce::Array<juce::Rectangle<int>> cells;
        corvantis::KT_ResizableComboBox* focusedBox = nullptr;
        corvantis::KT_ColorKnob* menuKnob = nullptr;
        juce::Rectangle<int> menuCell;

    private:
        juce::Rectangle<int> nextCell (int span = 1)
        {
            const juce::Rectangle<int> cell ((index % columns) * cellW, (index / columns) * cellH, cellW * span, cellH);
            cells.add (cell);
            addCaption (cell, pendingCaption);
            index += span;
            return cell;
        }

        juce::Rectangle<int> widgetArea (juce::Rectangle<int> cell) const
        {
            return cell.reduced (12, 8).withTrimmedBottom (18);
        }

        template <typename C>
        C* place (std::unique_ptr<C> widget, juce::Rectangle<int> bounds, const juce::String& caption)
        {
            pendingCaption = caption;
            const auto cell = nextCell();
            const auto area = widgetArea (cell);
            widget->setBounds (bounds.withCentre (area.getCentre()));
            addAndMakeVisible (*widget);
            return static_cast<C*> (widgets.add (widget.release()));
        }

        void addCaption (juce::Rectangle<int> cell, const juce::String& caption)
        {
            auto label = std::make_unique<juce::Label> ("caption", caption);
            label->setColour (juce::Label::textColourId, text.withAlpha (0.7f));
            label->setJustificationType (juce::Justification::centred);
            label->setBounds (cell.reduced (6, 4).removeFromBottom (18));
            addAndMakeVisible (*label);
            captions.add (label.release());
        }

        void addKnob (juce::Colour accent, double value, const juce::String& caption)
        {
            auto knob = std::make_unique<corvantis::KT_ColorKnob> (twin (accent), accent, nullptr);
            knob->setRange (0.0, 1.0, 0.01);
            knob->setValue (value, juce::dontSendNotification);
            place (std::move (knob), { 0, 0, 50, 50 }, caption);
        }

        void addSlider (juce::Colour accent, double value, bool fromCentre, bool enabled, const juce::String& caption)
        {
            auto slider = std::make_unique<KT_ColorSlider> (twin (accent), accent, nullptr);
            slider->setRange (0.0, 1.0, 0.01);
            slider->setValue (value, juce::dontSendNotification);
            slider->sliderLAF.barFromCentre = fromCentre;
            slider->setEnabled (enabled);
            place (std::move (slider), { 0, 0, 120, 14 }, caption);
        }

        void addButton (const juce::String& buttonText, bool on, bool enabled, juce::Button::ButtonState state,
                        const juce::String& caption)
        {
            auto button = std::make_unique<KT_TextButton> (accents[0].withAlpha ((juce::uint8) 0x64), accents[0]);
            button->setButtonText (buttonText);
            button->buttonLAF.font = juce::Font (corvantis::BrindlexResources::getBoldTypeface()).withPointHeight (12.0f);
            button->setToggleState (on, juce::dontSendNotification);
            button->setEnabled (enabled);
            auto* placed = place (std::move (button), { 0, 0, 70, 26 }, caption);
            placed->setState (state);
        }

        void addGlyphButtons()
        {
            pendingCaption = "glyph buttons";
            const auto area = widgetArea (nextCell());
            const juce::juce_wchar glyphs[] = { 0xf053, 0xf054, 0xf0c7, 0xf1f8, 0xf074, 0xf021 };
            int x = area.getX();

            for (auto glyph : glyphs)
            {
                auto button = std::make_unique<KT_TextButton> (text, text);
                button->setButtonText (juce::String::charToString (glyph));
                button->buttonLAF.font = juce::Font (corvantis::BrindlexResources::getIconTypeface()).withPointHeight (15.0f);
                button->setBounds (x, area.getCentreY() - 11, 21, 22);
                x += 21;
                addAndMakeVisible (*button);
                widgets.add (button.release());
            }
        }

        void addLabel (const juce::String& labelText, bool enabled, const juce::String& caption)
        {
            auto label = std::make_unique<KT_ResizableLabel>();
            label->setText (labelText, juce::dontSendNotification);
            label->setFont (juce::Font (corvantis::BrindlexResources::getRegularTypeface()).withHeight (12.0f)
                                .withExtraKerningFactor (0.1f));
            label->setColour (juce::Label::textColourId, text);
            label->setColour (juce::Label::outlineColourId, text.withAlpha (0.3f));
            label->setJustificationType (juce::Justification::centred);
            label->setEnabled (enabled);
            place (std::move (label), { 0, 0, 120, 44 }, caption);
        }

        void addPlainLabel (const juce::String& name, const juce::String& labelText, const juce::String& caption)
        {
            auto label = std::make_unique<juce::Label> (name, labelText);
            label->setColour (juce::Label::textColourId, text);
            label->setJustificationType (juce::Justification::centred);
            place (std::move (label), { 0, 0, 120, 24 }, caption);
        }

        corvantis::KT_ResizableComboBox* addCombo (const juce::String& name, const juce::String& item, bool wantsFocus,
                                                   const juce::String& caption)
        {
            auto box = std::make_unique<corvantis::KT_ResizableComboBox>();
            box->setName (name);
            box->setLookAndFeel (&lf);
            box->addItem (item, 1);
            box->setSelectedId (1, juce::dontSendNotification);
            box->setJustificationType (juce::Justification::centred);
            box->setColour (juce::ComboBox::backgroundColourId, juce::Colours::transparentBlack);
            box->setColour (juce::ComboBox::buttonColourId, text);
            box->setColour (juce::ComboBox::textColourId, text);
            box->setColour (juce::ComboBox::outlineColourId, name == "presetMenu" ? juce::Colours::transparentBlack
                                                                                   : accents[2]);
            box->setWantsKeyboardFocus (wantsFocus);
            const auto size = name == "presetMenu" ? juce::Rectangle<int> (0, 0, 130, 30)
                                                   : juce::Rectangle<int> (0, 0, 100, 20);
            return place (std::move (box), size, caption);
        }

        void addResizer (int side, const juce::String& caption)
        {
            auto resizer = std::make_unique<juce::ResizableCornerComponent> (nullptr, nullptr);
            place (std::move (resizer), { 0, 0, side, side }, caption);
        }

        juce::OwnedArray<juce::Label> captions;
        juce::String pendingCaption;
        juce::Rectangle<int> logoCell;
        int index = 0;
    };
}

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "Usage: BrindlexWidgetSheet <output.png>\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    ignoreXErrors();
    const juce::File target (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    std::unique_ptr<WidgetSheet> sheet;
    juce::Image image;
    bool ok = false;

    runSteps ({ [&]
                {
                    sheet = std::make_unique<WidgetSheet>();
                    sheet->addToDesktop (0);
                    sheet->setVisible (true);
                    // With no window manager on the display, the window takes the focus itself, so that the
                    // focused parameter box shows its frame and the lock menu stays open.
                    sheet->getPeer()->grabFocus();
                    sheet->focusedBox->grabKeyboardFocus();
                },
                [&]
                {
                    image = sheet->createComponentSnapshot (sheet->getLocalBounds());
                    sheet->menuKnob->locked = true;
                    sheet->menuKnob->showLockMenu();
                },
                [&]
                {
                    if (auto* menu = juce::Component::getCurrentlyModalComponent())
                    {
                        const auto menuImage = menu->createComponentSnapshot (menu->getLocalBounds());
                        juce::Graphics g (image);
                        const auto area = sheet->menuCell.reduced (8).withTrimmedBottom (14);
                        g.drawImageAt (menuImage, area.getCentreX() - menuImage.getWidth() / 2,
                                       area.getCentreY() - menuImage.getHeight() / 2);
                        ok = true;
                    }

                    juce::PopupMenu::dismissAllActiveMenus();
                    ok = ok && save (image, target);
                },
                [&] { sheet.reset(); } },
              300);

    std::cout << (ok ? "Widget sheet written to " : "Failed to write ") << target.getFullPathName() << "\n";
    return ok ? 0 : 1;
}
