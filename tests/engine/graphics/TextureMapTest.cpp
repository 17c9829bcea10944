#include "engine/graphics/TextureMap.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"

#include "tests/support/Throws.h"

#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::throwsWith;

TEST(TextureMap, PositionsOutsideTheGridThrowOutOfBound)
{
    TextureMap map(Size(64, 64), Size(3, 2), Size(150, 100));
    EXPECT_EQ(map.getTexture(0, 0), nullptr);
    auto* last = new Texture(64, 64, 7);
    map.setTexture(last, 2, 1);
    EXPECT_EQ(map.getTexture(2, 1), last);
    for (const auto& [column, row] : {std::pair(3u, 0u), {0u, 2u}, {3u, 2u}})
    {
        EXPECT_TRUE(throwsWith<TextureMapOutOfBoundException>([&] { map.getTexture(column, row); },
                                                              "Position is out of bound.", "src/TextureMap"));
    }
    Texture stray(64, 64, 8);
    EXPECT_THROW(map.setTexture(&stray, 3, 1), TextureMapOutOfBoundException);
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

TEST(TextureMap, AdoptedNamesReachTheSameTextureObjectsAndEmptyTilesKeepTheirs)
{
    TextureMap kept(Size(64, 64), Size(3, 1), Size(150, 64));
    TextureMap fresh(Size(64, 64), Size(3, 1), Size(150, 64));
    auto* left = new Texture(64, 64, 1);
    kept.setTexture(left, 0, 0);
    kept.setTexture(new Texture(64, 64, 2), 1, 0);
    fresh.setTexture(new Texture(64, 64, 11), 0, 0);
    fresh.setTexture(new Texture(64, 64, 13), 2, 0);
    kept.adoptTextureNames(fresh);
    EXPECT_EQ(kept.getTexture(0, 0), left);
    EXPECT_EQ(left->getGlName(), 11u);
    EXPECT_EQ(kept.getTexture(1, 0)->getGlName(), 2u);
    EXPECT_EQ(kept.getTexture(2, 0), nullptr);

    TextureMap other(Size(64, 64), Size(1, 3), Size(64, 150));
    EXPECT_TRUE(throwsWith<Exception>([&] { kept.adoptTextureNames(other); }, "tMap's size doesn't match.",
                                      "src/TextureMap"));
    EXPECT_EQ(left->getGlName(), 11u);
}
