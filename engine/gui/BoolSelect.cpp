#include "engine/gui/BoolSelect.h"

#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"

#include <memory>

namespace Fernhouse::GUI
{

namespace
{

static_assert(SDLK_LEFT == 276 && SDLK_RIGHT == 275);

std::optional<Base::Color> copyOf(const Base::Color* color)
{
    return color != nullptr ? std::optional<Base::Color>(*color) : std::nullopt;
}

// A label of text at (x, 0); returns how wide the text is.
std::unique_ptr<Label> makeLabel(const std::string& fontName, const std::string& text, int x, int& width)
{
    auto label = std::make_unique<Label>(fontName);
    label->setText(text);
    label->setPosition(x, 0);
    width = static_cast<int>(label->getFont()->getTextSize(text).w);
    return label;
}

} // namespace

BoolSelect::BoolSelect(const std::string& fontName, const Base::Color* normalColor,
                       const Base::Color* chosenColor, const std::string& trueText,
                       const std::string& falseText, const std::string& separatorText)
    : m_normalColor(copyOf(normalColor)),
      m_chosenColor(copyOf(chosenColor))
{
    // Held in guards until all three exist, so a failed font load frees the labels made before it.
    int trueWidth = 0;
    int separatorWidth = 0;
    int falseWidth = 0;
    auto trueLabel = makeLabel(fontName, trueText, 0, trueWidth);
    auto separatorLabel = makeLabel(fontName, separatorText, trueWidth, separatorWidth);
    auto falseLabel = makeLabel(fontName, falseText, trueWidth + separatorWidth, falseWidth);
    if (m_normalColor)
    {
        separatorLabel->setColor(*m_normalColor);
    }
    m_width = trueWidth + separatorWidth + falseWidth;
    m_height = static_cast<int>(trueLabel->getFont()->getGlyphSize().h);

    m_trueLabel = trueLabel.release();
    m_falseLabel = falseLabel.release();
    m_separatorLabel = separatorLabel.release();
    addChild(m_trueLabel);
    addChild(m_falseLabel);
    addChild(m_separatorLabel);
    setDone(true);
}

BoolSelect::~BoolSelect()
{
    removeChild(m_trueLabel);
    removeChild(m_falseLabel);
    removeChild(m_separatorLabel);
    delete m_trueLabel;
    delete m_falseLabel;
    delete m_separatorLabel;
}

bool BoolSelect::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (ctrl || shift || alt)
    {
        return false;
    }
    if (key == SDLK_LEFT || key == SDLK_RIGHT)
    {
        m_value = !m_value;
        return true;
    }
    return false;
}

void BoolSelect::update()
{
    Label* chosen = m_value ? m_trueLabel : m_falseLabel;
    Label* other = m_value ? m_falseLabel : m_trueLabel;
    if (m_chosenColor)
    {
        chosen->setColor(*m_chosenColor);
    }
    if (m_normalColor)
    {
        other->setColor(*m_normalColor);
    }
    Entity::update();
}

void BoolSelect::draw()
{
    Graphics::Painter painter;
    painter.pushMatrix();
    applyTransform();
    Entity::draw();
    painter.popMatrix();
}

} // namespace Fernhouse::GUI
