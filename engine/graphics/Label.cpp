#include "engine/graphics/Label.h"

#include "engine/base/Rect.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Painter.h"

#include <cassert>
#include <cstdint>

namespace Fernhouse::GUI
{

namespace
{

Graphics::FontManager& fontManager()
{
    Graphics::FontManager* manager = Graphics::FontManager::getInstance();
    assert(manager != nullptr && "labels need the font manager");
    return *manager;
}

} // namespace

Label::Label() = default;

Label::Label(const std::string& fontName) : m_font(fontManager().loadFont(fontName))
{
}

Label::~Label()
{
    if (m_font != nullptr)
    {
        if (Graphics::FontManager* manager = Graphics::FontManager::getInstance())
        {
            manager->freeFont(m_font);
        }
    }
}

void Label::setFont(const std::string& fontName)
{
    if (m_font != nullptr)
    {
        Graphics::Font* old = m_font;
        m_font = nullptr;
        fontManager().freeFont(old);
    }
    Base::Repaint::request();
    m_font = fontManager().loadFont(fontName);
}

void Label::setText(const std::string& text)
{
    if (text != m_text)
    {
        // Assigned in place, so that a text of the same length or shorter allocates nothing.
        m_text = text;
        Base::Repaint::request();
    }
}

void Label::setBackgroundColor(const Base::Color& color)
{
    m_backgroundColor = color;
    Base::Repaint::request();
}

void Label::setDrawBackground(bool value)
{
    m_drawBackground = value;
    Base::Repaint::request();
}

void Label::setMargin(const Base::Size& margin)
{
    m_margin = margin;
    Base::Repaint::request();
}

void Label::draw()
{
    // Without a font there is no text to measure or draw.
    if (m_font == nullptr)
    {
        return;
    }
    Graphics::Painter painter;
    painter.pushMatrix();

    // Puts the matrix and the colour back on every way out: a character the font lacks throws mid-text.
    struct Restore
    {
        Graphics::Painter& painter;

        ~Restore()
        {
            painter.restoreColor();
            painter.popMatrix();
        }
    } restore{painter};

    applyTransform();
    if (m_drawBackground && !m_text.empty())
    {
        const Base::Size size = m_font->getTextSize(m_text);
        const auto marginW = static_cast<std::int32_t>(m_margin.w);
        const auto marginH = static_cast<std::int32_t>(m_margin.h);
        const std::int64_t boxW = static_cast<std::int64_t>(size.w) + 2 * static_cast<std::int64_t>(marginW);
        const std::int64_t boxH = static_cast<std::int64_t>(size.h) + 2 * static_cast<std::int64_t>(marginH);
        // Negative margins may swallow the box; an inverted box would wrap to a huge unsigned size.
        if (boxW > 0 && boxH > 0)
        {
            painter.setColor(m_backgroundColor);
            painter.fillRect(Base::Rect(-marginW, -marginH, static_cast<std::uint32_t>(boxW),
                                        static_cast<std::uint32_t>(boxH)));
        }
    }
    painter.setColor(getColor());
    painter.drawText(m_text, Base::Point(0, 0), m_font, Graphics::Painter::AlignLeft,
                     Graphics::Painter::AlignTop);
}

} // namespace Fernhouse::GUI
