#include "game/frontend/SettingsPanel.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Layout.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"
#include "engine/gui/BoolSelect.h"

#include <cassert>
#include <vector>

namespace Tarvo
{

namespace
{

using Fernhouse::GUI::BoolSelect;
using Fernhouse::GUI::Label;

constexpr const char* OnText = "ON";
constexpr const char* OffText = "OFF";
constexpr const char* SeparatorText = "/";
// Pixels between a caption and its choice.
constexpr int ChoiceGap = 50;

int textWidth(const Label& label)
{
    return static_cast<int>(label.getFont()->getTextSize(label.getText()).w);
}

} // namespace

SettingsPanel::~SettingsPanel()
{
    const std::vector<Entity*> rows = getChildren();
    for (Entity* row : rows)
    {
        removeChild(row);
        delete row;
    }
}

void SettingsPanel::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.pushMatrix();
    applyTransform();
    Entity::draw();
    painter.popMatrix();
}

std::unique_ptr<Label> SettingsPanel::makeLabel(const std::string& text, const Fernhouse::Base::Color& color)
{
    auto label = std::make_unique<Label>(FontName);
    label->setText(text);
    label->setColor(color);
    return label;
}

std::unique_ptr<BoolSelect> SettingsPanel::makeSelect(bool value)
{
    auto select =
        std::make_unique<BoolSelect>(FontName, &NormalColor, &FocusColor, OnText, OffText, SeparatorText);
    select->setValue(value);
    return select;
}

void SettingsPanel::placeChoiceRow(Label& caption, BoolSelect& select, int y)
{
    const int captionWidth = textWidth(caption);
    const int x0 = Fernhouse::Base::Layout::centred(
        0, static_cast<std::uint32_t>(captionWidth + select.getWidth() + ChoiceGap));
    caption.setPosition(x0, y);
    select.setPosition(x0 + ChoiceGap + captionWidth, y);
}

void SettingsPanel::placeCentred(Label& label, int y)
{
    label.setPosition(Fernhouse::Base::Layout::centred(0, static_cast<std::uint32_t>(textWidth(label))), y);
}

void SettingsPanel::listen(Fernhouse::Base::EventHandler* control, bool listening)
{
    Fernhouse::Base::EventRouter* router = Fernhouse::Base::EventRouter::getInstance();
    assert(router != nullptr && "a panel registers its focused control with the event router");
    if (listening)
    {
        router->addHandler(control);
    }
    else
    {
        router->removeHandler(control);
    }
}

} // namespace Tarvo
