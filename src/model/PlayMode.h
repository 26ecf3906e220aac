#pragma once

#include "model/SaverEffect.h"

#include <QString>

#include <optional>

namespace lumi {

/// What the gallery window plays: a screen-saver effect, a slideshow, or photos with their stories.
class PlayMode final
{
public:
    enum class Kind { saver, slideshow, infoshow };

    static PlayMode saver(SaverEffect effect) { return PlayMode(Kind::saver, effect); }
    static PlayMode slideshow() { return PlayMode(Kind::slideshow, std::nullopt); }
    static PlayMode infoshow() { return PlayMode(Kind::infoshow, std::nullopt); }

    Kind kind() const { return m_kind; }
    /// Set for the saver kind only.
    std::optional<SaverEffect> effect() const { return m_effect; }
    /// "slideshow", "infoshow" or "saver:<effect>".
    QString text() const;
    /// What the user sees: "Slideshow", "Stories", or the effect's label.
    QString title() const;

    bool operator==(const PlayMode& other) const
    {
        return m_kind == other.m_kind && m_effect == other.m_effect;
    }

private:
    PlayMode(Kind kind, std::optional<SaverEffect> effect) : m_kind(kind), m_effect(effect) {}

    Kind m_kind;
    std::optional<SaverEffect> m_effect;
};

} // namespace lumi
