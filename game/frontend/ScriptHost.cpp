#include "game/frontend/ScriptHost.h"

#include "engine/base/Entity.h"
#include "engine/base/EventRouter.h"
#include "engine/script/ScriptEngine.h"

#include "game/frontend/ScriptEnvironment.h"

#include <cassert>
#include <memory>

namespace Tarvo
{

namespace
{

Fernhouse::Base::EventRouter& router()
{
    Fernhouse::Base::EventRouter* current = Fernhouse::Base::EventRouter::getInstance();
    assert(current != nullptr && "a scene hears its skip keys through the event router");
    return *current;
}

} // namespace

ScriptHost::ScriptHost(const std::string& path, Fernhouse::Sound::SoundManager* soundManager,
                       Fernhouse::Base::Entity* parent)
    : m_parent(parent)
{
    assert(parent != nullptr);
    auto engine = std::make_unique<Fernhouse::Script::ScriptEngine>();
    auto environment = std::make_unique<ScriptEnvironment>(engine.get(), soundManager);
    engine->load(path);
    m_engine = engine.release();
    m_environment = environment.release();
    m_parent->addChild(m_environment);
    router().addHandler(m_environment);
}

ScriptHost::~ScriptHost()
{
    // Taking the scene out needs no router once the application has already dropped it.
    if (Fernhouse::Base::EventRouter* current = Fernhouse::Base::EventRouter::getInstance())
    {
        current->removeHandler(m_environment);
    }
    m_parent->removeChild(m_environment);
    // The statements name the environment as their executor; the engine goes first so none outlives it.
    delete m_engine;
    delete m_environment;
}

bool ScriptHost::runFrame()
{
    // In this order, so that no statement runs once the scene is skipped.
    return m_environment->isDone() || !m_engine->run();
}

} // namespace Tarvo
