#pragma once

#include "engine/base/Color.h"
#include "engine/gui/Widget.h"

#include <memory>
#include <string>

namespace Fernhouse::Base
{
class EventHandler;
} // namespace Fernhouse::Base

namespace Fernhouse::GUI
{
class BoolSelect;
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

// What the settings panels share: rows of text in one font and two colours laid out around the panel's
// position, a way back, and a focused row whose control alone hears keys. Every child is a row the panel
// owns and deletes.
class SettingsPanel : public Fernhouse::GUI::Widget
{
public:
    static constexpr Fernhouse::Base::Color FocusColor{255, 90, 0, 255};
    static constexpr Fernhouse::Base::Color NormalColor{83, 148, 28, 255};

    SettingsPanel(const SettingsPanel&) = delete;
    SettingsPanel& operator=(const SettingsPanel&) = delete;
    // Deletes the rows; a derived panel first stops its focused control listening.
    ~SettingsPanel() override;

    // Draws the rows shifted by the panel's position.
    void draw() override;

protected:
    static constexpr const char* FontName = "comic_medium";
    static constexpr const char* BackText = "BACK..";

    SettingsPanel() = default;

    static std::unique_ptr<Fernhouse::GUI::Label> makeLabel(const std::string& text,
                                                            const Fernhouse::Base::Color& color);
    // An ON/OFF choice in the panel's font and colours.
    static std::unique_ptr<Fernhouse::GUI::BoolSelect> makeSelect(bool value);
    // Puts a caption and its choice side by side on row y, the pair centred on the panel's x.
    static void placeChoiceRow(Fernhouse::GUI::Label& caption, Fernhouse::GUI::BoolSelect& select, int y);
    // Centres a label on the panel's x, on row y.
    static void placeCentred(Fernhouse::GUI::Label& label, int y);
    // Registers control with the event router, or takes it off; the router must exist.
    static void listen(Fernhouse::Base::EventHandler* control, bool listening);

    // Settings keys are plain: with a modifier held a key is left for others.
    static bool isPlain(bool ctrl, bool shift, bool alt) { return !ctrl && !shift && !alt; }
};

} // namespace Tarvo
