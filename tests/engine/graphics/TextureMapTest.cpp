#include "engine/graphics/TextureMap.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"

#include "tests/support/PrintTo.h"

#include <gtest/gtest.h>

#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;

static_assert(!std::is_copy_constructible_v<TextureMap> && !std::is_copy_assignable_v<TextureMap>);

TEST(TextureMap, PositionsOutsideTheGridThrowOutOfBound)
{
    TextureMap map(Size(64, 64), Size(3, 2), Size(150, 100));
    EXPECT_EQ(map.getTexture(0, 0), nullptr);
    auto* last = new Texture(64, 64, 7);
    map.setTexture(last, 2, 1);
    EXPECT_EQ(map.getTexture(2, 1), last);

    for (const auto& [column, row] : {std::pair(3u, 0u), std::pair(0u, 2u), std::pair(3u, 2u)})
    {
        try
        {
            map.getTexture(column, row);
            ADD_FAILURE() << "no exception at " << column << ", " << row;
        }
        catch (const TextureMapOutOfBoundException& e)
        {
            EXPECT_EQ(e.getMessage(), "Position is out of bound.");
            EXPECT_EQ(e.getFile(), "src/TextureMap");
        }
    }
    auto* stray = new Texture(64, 64, 8);
    EXPECT_THROW(map.setTexture(stray, 3, 1), TextureMapOutOfBoundException);
    delete stray;
}

TEST(TextureMap, ReplacingATileDeletesTheOldTextureObject)
{
    // Checked by the sanitizer build: the first texture must not leak, the second not be freed twice.
    TextureMap map(Size(64, 64), Size(1, 1), Size(64, 64));
    auto* second = new Texture(64, 64, 2);
    map.setTexture(new Texture(64, 64, 1), 0, 0);
    map.setTexture(second, 0, 0);
    map.setTexture(second, 0, 0);
    EXPECT_EQ(map.getTexture(0, 0)->getGlName(), 2u);
}

TEST(TextureMap, AdoptedNamesReachTheSameTextureObjects)
{
    TextureMap kept(Size(64, 64), Size(2, 1), Size(100, 64));
    TextureMap fresh(Size(64, 64), Size(2, 1), Size(100, 64));
    auto* left = new Texture(64, 64, 1);
    kept.setTexture(left, 0, 0);
    kept.setTexture(new Texture(64, 64, 2), 1, 0);
    fresh.setTexture(new Texture(64, 64, 11), 0, 0);
    // A tile empty on either side keeps its name.

    kept.adoptTextureNames(fresh);
    EXPECT_EQ(kept.getTexture(0, 0), left);
    EXPECT_EQ(left->getGlName(), 11u);
    EXPECT_EQ(kept.getTexture(1, 0)->getGlName(), 2u);

    TextureMap other(Size(64, 64), Size(1, 2), Size(64, 100));
    try
    {
        kept.adoptTextureNames(other);
        ADD_FAILURE() << "grids of different shape were accepted";
    }
    catch (const Exception& e)
    {
        EXPECT_EQ(e.getMessage(), "tMap's size doesn't match.");
    }
    EXPECT_EQ(left->getGlName(), 11u);
}
