#pragma once

#include "engine/base/Entity.h"

#include <string>
#include <vector>

namespace Fernhouse::Graphics
{
class Font;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

// Lines of text, one under the other from the entity position, in the entity colour. Bytes the font
// cannot draw show as '?', so that a file name or title typed by anyone never ends the editor.
class TextPanel final : public Fernhouse::Base::Entity
{
public:
    // Loads the font through FontManager and throws its loading errors.
    explicit TextPanel(const std::string& fontName);
    TextPanel(const TextPanel&) = delete;
    TextPanel& operator=(const TextPanel&) = delete;
    ~TextPanel() override;

    void setLines(std::vector<std::string> lines);

    const std::vector<std::string>& getLines() const { return m_lines; }

    // Pixels from one line's top to the next.
    std::int32_t getLineHeight() const;

    void draw() override;

private:
    Fernhouse::Graphics::Font* m_font; // shared through FontManager
    std::vector<std::string> m_lines;
};

} // namespace Tarvo
