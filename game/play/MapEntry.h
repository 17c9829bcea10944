#pragma once

#include "game/play/GameSettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo
{

// One map of a campaign: the scenes around it, the rules of its round, its computer players and, when it
// has them, its own apple kind weights. Filled by CampaignFile.
class MapEntry final
{
public:
    // One weight per apple kind, in kind order.
    using Weights = std::array<std::int32_t, 6>;

    // Script paths; empty when the scene is left out.
    const std::string& getIntroScript() const { return m_introScript; }

    void setIntroScript(const std::string& introScript) { m_introScript = introScript; }

    const std::string& getMapPath() const { return m_mapPath; }

    void setMapPath(const std::string& mapPath) { m_mapPath = mapPath; }

    const std::string& getWinScript() const { return m_winScript; }

    void setWinScript(const std::string& winScript) { m_winScript = winScript; }

    const GameSettings& getSettings() const { return m_settings; }

    void setSettings(const GameSettings& settings) { m_settings = settings; }

    // AI file names, one per computer player, in the order they join the round.
    const std::vector<std::string>& getAINames() const { return m_aiNames; }

    void addAIName(const std::string& name) { m_aiNames.push_back(name); }

    // Without weights of its own the round keeps the apple painter's defaults.
    bool hasAppleWeights() const { return m_hasAppleWeights; }

    const Weights& getAppleWeights() const { return m_appleWeights; }

    void setAppleWeights(const Weights& weights)
    {
        m_appleWeights = weights;
        m_hasAppleWeights = true;
    }

private:
    std::string m_introScript;
    std::string m_mapPath;
    std::string m_winScript;
    GameSettings m_settings;
    std::vector<std::string> m_aiNames;
    bool m_hasAppleWeights = false;
    Weights m_appleWeights{};
};

} // namespace Tarvo
