#include "game/frontend/ScriptEnvironment.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Label.h"
#include "engine/script/ScriptArgumentList.h"
#include "engine/script/ScriptEngine.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"
#include "engine/sound/SoundContext.h"
#include "engine/sound/SoundManager.h"

#include "game/play/MovableEntity.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <memory>
#include <vector>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "ScriptEnvironment";
constexpr const char* ObjectNotFound = "Couldn't find object with offset=";
constexpr std::int32_t MaxComponent = 255;
constexpr bool LoadNow = true;

static_assert(SDLK_ESCAPE == 27 && SDLK_RETURN == 13 && SDLK_SPACE == 32);

using Fernhouse::Script::ScriptArgumentList;
using Fernhouse::Script::ScriptRuntimeException;

// Game time in milliseconds, on the same signed scale as the objects' end times.
std::int32_t now()
{
    const Fernhouse::Base::GameTime* gameTime = Fernhouse::Base::GameTime::getInstance();
    assert(gameTime != nullptr && "scripts run on the game clock");
    return static_cast<std::int32_t>(gameTime->getTime());
}

// Saturates instead of wrapping into the past for durations near the 32-bit limit.
std::int32_t endTimeAfter(std::int32_t duration)
{
    const std::int64_t end = std::int64_t{now()} + duration;
    return static_cast<std::int32_t>(std::min<std::int64_t>(end, std::numeric_limits<std::int32_t>::max()));
}

// When a timed command that starts now ends; its duration is the argument at index.
std::int32_t endTimeOf(const ScriptArgumentList& arguments, std::size_t index, const char* command)
{
    const std::int32_t duration = arguments.getInt(index);
    if (duration < 0)
    {
        FH_THROW(ScriptRuntimeException, std::string(command) + ": duration may not be negative.");
    }
    return endTimeAfter(duration);
}

bool isComponent(std::int32_t value)
{
    return value >= 0 && value <= MaxComponent;
}

// Screen positions of new objects are 16-bit, as the scripts were written for.
std::int16_t toPosition(std::int32_t value)
{
    return static_cast<std::int16_t>(value);
}

} // namespace

const std::array<ScriptEnvironment::FunctionEntry, ScriptEnvironment::FunctionCount>
    ScriptEnvironment::s_functions = {{
        {"printText", &ScriptEnvironment::printText},
        {"clear", &ScriptEnvironment::clear},
        {"showImage", &ScriptEnvironment::showImage},
        {"move", &ScriptEnvironment::move},
        {"fade", &ScriptEnvironment::fade},
        {"scale", &ScriptEnvironment::scale},
        {"setFont", &ScriptEnvironment::setFont},
        {"setColor", &ScriptEnvironment::setTextColor},
        {"remove", &ScriptEnvironment::remove},
        {"playSound", &ScriptEnvironment::playSound},
    }};

ScriptEnvironment::ScriptEnvironment(Fernhouse::Script::ScriptEngine* scriptEngine,
                                     Fernhouse::Sound::SoundManager* soundManager)
    : m_soundManager(soundManager)
{
    assert(scriptEngine != nullptr && soundManager != nullptr);
    for (const FunctionEntry& entry : s_functions)
    {
        scriptEngine->registerFunction(entry.name, this);
    }
}

ScriptEnvironment::~ScriptEnvironment()
{
    deleteObjects();
}

bool ScriptEnvironment::keyDown(SDLKey key, bool, bool, bool)
{
    if (key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_SPACE)
    {
        m_done = true;
        return true;
    }
    return false;
}

void ScriptEnvironment::execute(const Fernhouse::Script::ScriptStatement& statement)
{
    const ScriptArgumentList arguments(statement);
    for (const FunctionEntry& entry : s_functions)
    {
        if (statement.functionName == entry.name)
        {
            (this->*entry.function)(arguments);
            return;
        }
    }
    FH_THROW(Fernhouse::Base::Exception, "Unknown function: " + statement.functionName);
}

void ScriptEnvironment::printText(const ScriptArgumentList& arguments)
{
    const std::int16_t x = toPosition(arguments.getInt(0));
    const std::int16_t y = toPosition(arguments.getInt(1));
    const std::string text = arguments.getString(2);
    auto label = std::make_unique<MovableEntity<Fernhouse::GUI::Label>>();
    label->setFont(m_fontName);
    label->setText(text);
    label->setPosition(x, y);
    label->setColor(m_textColor);
    addChild(label.get());
    label.release();
}

void ScriptEnvironment::clear(const ScriptArgumentList&)
{
    deleteObjects();
}

void ScriptEnvironment::showImage(const ScriptArgumentList& arguments)
{
    const std::int16_t x = toPosition(arguments.getInt(0));
    const std::int16_t y = toPosition(arguments.getInt(1));
    const std::string fileName = arguments.getString(2);
    auto image = std::make_unique<MovableEntity<Fernhouse::Graphics::Image>>();
    image->load(fileName, ImageColorKey);
    image->setPosition(x, y);
    addChild(image.get());
    image.release();
}

void ScriptEnvironment::move(const ScriptArgumentList& arguments)
{
    const std::int32_t offset = arguments.getInt(0);
    const std::int32_t x = arguments.getInt(1);
    const std::int32_t y = arguments.getInt(2);
    const std::int32_t endTime = endTimeOf(arguments, 3, "move");
    Movable& movable = findMovable(offset);
    movable.targetX = static_cast<float>(x);
    movable.targetY = static_cast<float>(y);
    movable.endTime = endTime;
}

void ScriptEnvironment::fade(const ScriptArgumentList& arguments)
{
    const std::int32_t offset = arguments.getInt(0);
    const std::int32_t alpha = arguments.getInt(1);
    const std::int32_t endTime = endTimeOf(arguments, 2, "fade");
    if (!isComponent(alpha))
    {
        FH_THROW(ScriptRuntimeException, "fade: targetAlpha must be between 0-255.");
    }
    Movable& movable = findMovable(offset);
    movable.targetAlpha = static_cast<float>(alpha);
    movable.endTime = endTime;
}

void ScriptEnvironment::scale(const ScriptArgumentList& arguments)
{
    const std::int32_t offset = arguments.getInt(0);
    const std::int32_t factor = arguments.getInt(1);
    const std::int32_t endTime = endTimeOf(arguments, 2, "scale");
    Movable& movable = findMovable(offset);
    movable.targetScale = static_cast<float>(factor);
    movable.endTime = endTime;
}

void ScriptEnvironment::setFont(const ScriptArgumentList& arguments)
{
    m_fontName = arguments.getString(0);
}

void ScriptEnvironment::setTextColor(const ScriptArgumentList& arguments)
{
    const std::int32_t red = arguments.getInt(0);
    const std::int32_t green = arguments.getInt(1);
    const std::int32_t blue = arguments.getInt(2);
    if (!isComponent(red))
    {
        FH_THROW(ScriptRuntimeException, "setColor: red component must be 0-255.");
    }
    if (!isComponent(green))
    {
        FH_THROW(ScriptRuntimeException, "setColor: green component must be 0-255.");
    }
    if (!isComponent(blue))
    {
        FH_THROW(ScriptRuntimeException, "setColor: b component must be 0-255.");
    }
    m_textColor.r = static_cast<std::uint8_t>(red);
    m_textColor.g = static_cast<std::uint8_t>(green);
    m_textColor.b = static_cast<std::uint8_t>(blue);
}

void ScriptEnvironment::remove(const ScriptArgumentList& arguments)
{
    const std::int32_t offset = arguments.getInt(0);
    const std::vector<Fernhouse::Base::Entity*>& objects = getChildren();
    if (offset < 0 || static_cast<std::size_t>(offset) >= objects.size())
    {
        FH_THROW(ScriptRuntimeException, ObjectNotFound);
    }
    Fernhouse::Base::Entity* object = objects[static_cast<std::size_t>(offset)];
    removeChild(object);
    delete object;
}

void ScriptEnvironment::playSound(const ScriptArgumentList& arguments)
{
    const std::string fileName = arguments.getString(0);
    // A silent manager never has a context; asking it for one would end the game on machines without
    // audio, which are meant to play on in silence.
    if (!m_soundManager->isEnabled())
    {
        return;
    }
    const std::string context = m_soundManager->topContext()->getName();
    m_soundManager->addSound(context, fileName, fileName, LoadNow);
    m_soundManager->playSound(fileName);
}

void ScriptEnvironment::deleteObjects()
{
    const std::vector<Fernhouse::Base::Entity*> objects = getChildren();
    for (Fernhouse::Base::Entity* object : objects)
    {
        removeChild(object);
        delete object;
    }
}

Movable& ScriptEnvironment::findMovable(std::int32_t offset) const
{
    const std::vector<Fernhouse::Base::Entity*>& objects = getChildren();
    Movable* movable = nullptr;
    if (offset >= 0 && static_cast<std::size_t>(offset) < objects.size())
    {
        movable = dynamic_cast<Movable*>(objects[static_cast<std::size_t>(offset)]);
    }
    if (movable == nullptr)
    {
        FH_THROW(ScriptRuntimeException, ObjectNotFound);
    }
    return *movable;
}

} // namespace Tarvo
