#include "engine/sound/SoundContext.h"

#include "engine/base/Exception.h"
#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"

#include "tests/engine/sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <type_traits>

using namespace Fernhouse::Sound;
using Fernhouse::Base::ArgumentException;
using TestSupport::throwsWith;

namespace
{

static_assert(!std::is_copy_constructible_v<SoundContext>);
static_assert(!std::is_copy_assignable_v<SoundContext>);
static_assert(!std::is_copy_constructible_v<Sound>);
static_assert(!std::is_copy_constructible_v<Music>);

} // namespace

// Objects that were never loaded never reach the mixer, so no audio device is needed here.
TEST(SoundContext, CountsEveryListingAndRejectsNull)
{
    Sound click("click", "click.wav", false);
    Sound hover("hover", "hover.wav", false);
    Music song("song", "song.ogg", false);
    SoundContext context("menu");
    EXPECT_EQ(context.getName(), "menu");
    EXPECT_EQ(context.getMusic(), nullptr);

    EXPECT_TRUE(throwsWith<ArgumentException>([&] { context.addSound(nullptr); }, "Sound is null",
                                              "src/SoundContext"));
    EXPECT_TRUE(context.getSounds().empty());

    context.addSound(&click);
    context.addSound(&click);
    EXPECT_TRUE(context.contains(&click));
    EXPECT_FALSE(context.contains(&hover));
    context.setMusic(&song);

    context.acquire();
    context.acquire();
    EXPECT_EQ(click.getRefCount(), 4);
    EXPECT_EQ(song.getRefCount(), 2);
    EXPECT_EQ(hover.getRefCount(), 0);

    context.release();
    EXPECT_EQ(click.getRefCount(), 2);
    EXPECT_EQ(song.getRefCount(), 1);

    context.setMusic(nullptr);
    context.release();
    EXPECT_EQ(click.getRefCount(), 0);
    EXPECT_EQ(song.getRefCount(), 1);
}
