#include "tests/support/TextDamage.h"

namespace TestSupport
{

std::string damageText(std::string text, std::mt19937& generator, const std::vector<std::string>& pieces)
{
    const int damages = 1 + static_cast<int>(generator() % 4);
    for (int i = 0; i < damages && !text.empty(); ++i)
    {
        const std::size_t at = generator() % text.size();
        switch (generator() % 4)
        {
            case 0:
                text.resize(at);
                break;
            case 1:
                text[at] = static_cast<char>(generator() % 256);
                break;
            case 2:
                text.insert(at, pieces[generator() % pieces.size()]);
                break;
            default:
                text.erase(at, 1 + generator() % 8);
                break;
        }
    }
    return text;
}

} // namespace TestSupport
