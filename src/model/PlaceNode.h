#pragma once

#include "model/PlaceCover.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace lumi {

// One place, inside a region or in the featured list.
struct PlaceNode final
{
    QString name{};
    QString slug{};
    bool featured = false;
    qint64 photos = 0;
    std::optional<PlaceCover> cover{};
    std::optional<QString> countrySlug{};
    std::optional<QString> regionSlug{};

    static std::optional<PlaceNode> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    bool operator==(const PlaceNode&) const = default;
};

size_t qHash(const PlaceNode& node, size_t seed = 0) noexcept;

} // namespace lumi
