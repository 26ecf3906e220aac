#pragma once

#include "model/PlaceCover.h"

#include <QString>

#include <optional>

namespace lumi {

/// One node of the places tree as a card: its cover, its name and how many photos it holds. The id
/// says which level the card opens (see PlacesView::query).
struct Card final
{
    QString id{};
    QString name{};
    qint64 photos = 0;
    std::optional<PlaceCover> cover{};
    /// A place of a region's strip: a star before the name.
    bool place = false;
    /// A region's state code, shown after the count.
    std::optional<QString> state{};

    bool operator==(const Card&) const = default;
};

} // namespace lumi
