#pragma once

#include <string>

namespace Fernhouse::Base
{
class Entity;
} // namespace Fernhouse::Base

namespace Fernhouse::Script
{
class ScriptEngine;
} // namespace Fernhouse::Script

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class ScriptEnvironment;

// One running scene: a script engine and the environment its statements act on, shown under a parent
// entity and hearing keys through the event router for as long as the host lives. The front end and the
// campaign both play their scenes through it.
class ScriptHost final
{
public:
    // Loads the script at path; throws the loading errors and then leaves nothing shown or registered.
    // soundManager and parent are not owned and must outlive the host. Needs the EventRouter.
    ScriptHost(const std::string& path, Fernhouse::Sound::SoundManager* soundManager,
               Fernhouse::Base::Entity* parent);
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;
    ~ScriptHost();

    // Runs the scene's statements for this frame; true once it is over, by a key or at its end.
    bool runFrame();

    ScriptEnvironment* getEnvironment() const { return m_environment; }

private:
    Fernhouse::Script::ScriptEngine* m_engine; // owned
    ScriptEnvironment* m_environment;          // owned; a child of m_parent while the host lives
    Fernhouse::Base::Entity* m_parent;         // not owned
};

} // namespace Tarvo
