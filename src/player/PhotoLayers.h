#pragma once

#include "player/Transition.h"

#include <QUuid>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace lumi {

/// The photos an effect draws while they come and go. A change in mid-transition overlaps: every
/// photo still arriving or shown starts leaving with the new transition, which is drawn on top.
/// `Look` is what the effect keeps per photo (its pre-scaled image, caption, drift).
template <typename Look> class PhotoLayers final
{
public:
    struct Layer
    {
        QUuid id;
        Look look;
        Transition in;
        std::optional<Transition> out;

        /// 0 before it arrives, 1 while fully shown, back to 0 once gone.
        qreal insertion(std::chrono::milliseconds now) const { return in.progress(now); }
        qreal removal(std::chrono::milliseconds now) const { return out ? out->progress(now) : 0; }
        qreal opacity(std::chrono::milliseconds now) const { return insertion(now) * (1 - removal(now)); }
        bool hasLeft(std::chrono::milliseconds now) const { return out && now >= out->end(); }
    };

    /// The shown photos leave with `transition`; `look` (if any) arrives with it.
    void change(QUuid id, std::optional<Look> look, Transition transition)
    {
        for (Layer& layer : m_layers) {
            if (!layer.out)
                layer.out = transition;
        }
        if (look)
            m_layers.push_back(Layer{id, std::move(*look), transition, std::nullopt});
    }

    /// Forgets the photos that have left by `now`.
    void prune(std::chrono::milliseconds now)
    {
        std::erase_if(m_layers, [now](const Layer& layer) { return layer.hasLeft(now); });
    }

    /// Whether a photo is still drawn at `now`.
    bool isShowing(std::chrono::milliseconds now) const
    {
        return std::any_of(m_layers.begin(), m_layers.end(),
                           [now](const Layer& layer) { return !layer.hasLeft(now); });
    }

    bool isMoving(std::chrono::milliseconds now) const
    {
        return std::any_of(m_layers.begin(), m_layers.end(), [now](const Layer& layer) {
            return now < layer.in.end() || (layer.out && now < layer.out->end());
        });
    }

    /// Oldest first: the order to draw them in.
    std::vector<Layer>& layers() { return m_layers; }
    const std::vector<Layer>& layers() const { return m_layers; }

private:
    std::vector<Layer> m_layers;
};

} // namespace lumi
