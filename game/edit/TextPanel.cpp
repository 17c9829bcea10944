#include "game/edit/TextPanel.h"

#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Painter.h"

#include <utility>

namespace Tarvo
{

namespace
{

constexpr std::int32_t LineGap = 2;

} // namespace

TextPanel::TextPanel(const std::string& fontName)
    : m_font(Fernhouse::Graphics::FontManager::getInstance()->loadFont(fontName))
{
}

TextPanel::~TextPanel()
{
    Fernhouse::Graphics::FontManager::getInstance()->freeFont(m_font);
}

void TextPanel::setLines(std::vector<std::string> lines)
{
    for (std::string& line : lines)
    {
        for (char& byte : line)
        {
            if (!Fernhouse::Graphics::Font::canDraw(byte))
            {
                byte = '?';
            }
        }
    }
    m_lines = std::move(lines);
}

std::int32_t TextPanel::getLineHeight() const
{
    return static_cast<std::int32_t>(m_font->getGlyphSize().h) + LineGap;
}

void TextPanel::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.setColor(getColor());
    for (std::size_t i = 0; i < m_lines.size(); ++i)
    {
        painter.drawText(
            m_lines[i],
            Fernhouse::Base::Point(getX(), getY() + static_cast<std::int32_t>(i) * getLineHeight()), m_font,
            Fernhouse::Graphics::Painter::AlignLeft, Fernhouse::Graphics::Painter::AlignTop);
    }
    painter.restoreColor();
}

} // namespace Tarvo
