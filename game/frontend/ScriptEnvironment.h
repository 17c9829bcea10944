#pragma once

#include "engine/base/Color.h"
#include "engine/base/Entity.h"
#include "engine/base/EventHandler.h"
#include "engine/script/ScriptStatementExecutor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Fernhouse::Script
{
class ScriptArgumentList;
class ScriptEngine;
} // namespace Fernhouse::Script

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

struct Movable;

// The host of the intro, the credits and the campaign scenes: serves the script functions that show,
// animate and remove texts and pictures and play sounds. The objects a script shows are its children,
// owned, and scripts name them by their index in that list (removing one moves the later ones down).
// Escape, Return or Space ask to skip the script; the owner polls isDone.
class ScriptEnvironment final : public Fernhouse::Base::Entity,
                                public Fernhouse::Base::EventHandler,
                                public Fernhouse::Script::ScriptStatementExecutor
{
public:
    static constexpr const char* DefaultFont = "fixed_small";
    static constexpr Fernhouse::Base::Color DefaultTextColor{255, 255, 255, 255};
    // Pictures are see-through where they are pure opaque white.
    static constexpr Fernhouse::Base::Color ImageColorKey{255, 255, 255, 255};

    // Registers the script functions with the engine; neither the engine nor the sound manager is owned,
    // and the engine must not run after the environment is gone. Throws ScriptEngineException when one of
    // the names is already registered.
    ScriptEnvironment(Fernhouse::Script::ScriptEngine* scriptEngine,
                      Fernhouse::Sound::SoundManager* soundManager);
    ScriptEnvironment(const ScriptEnvironment&) = delete;
    ScriptEnvironment& operator=(const ScriptEnvironment&) = delete;
    // Deletes every object the script left.
    ~ScriptEnvironment() override;

    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;

    // Throws ScriptRuntimeException for bad arguments, Exception for a function it does not serve, and
    // the loading errors of fonts, images and sounds. A call that throws leaves the objects as they were.
    void execute(const Fernhouse::Script::ScriptStatement& statement) override;

    bool isDone() const { return m_done; }

private:
    using Function = void (ScriptEnvironment::*)(const Fernhouse::Script::ScriptArgumentList&);

    struct FunctionEntry
    {
        const char* name;
        Function function;
    };

    static constexpr std::size_t FunctionCount = 10;
    static const std::array<FunctionEntry, FunctionCount> s_functions;

    void printText(const Fernhouse::Script::ScriptArgumentList& arguments);
    void clear(const Fernhouse::Script::ScriptArgumentList& arguments);
    void showImage(const Fernhouse::Script::ScriptArgumentList& arguments);
    void move(const Fernhouse::Script::ScriptArgumentList& arguments);
    void fade(const Fernhouse::Script::ScriptArgumentList& arguments);
    void scale(const Fernhouse::Script::ScriptArgumentList& arguments);
    void setFont(const Fernhouse::Script::ScriptArgumentList& arguments);
    void setTextColor(const Fernhouse::Script::ScriptArgumentList& arguments);
    void remove(const Fernhouse::Script::ScriptArgumentList& arguments);
    void playSound(const Fernhouse::Script::ScriptArgumentList& arguments);

    void deleteObjects();
    // The object at the offset as its animation targets; throws ScriptRuntimeException when there is none.
    Movable& findMovable(std::int32_t offset) const;

    std::string m_fontName = DefaultFont;
    Fernhouse::Base::Color m_textColor = DefaultTextColor;
    bool m_done = false;
    Fernhouse::Sound::SoundManager* m_soundManager; // not owned
};

} // namespace Tarvo
