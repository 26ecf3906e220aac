#pragma once

#include "model/PlaceCover.h"
#include "model/PlaceNode.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// One region of a country in the places tree.
struct RegionNode final
{
    QString name{};
    QString slug{};
    // A short state code shown beside the region.
    std::optional<QString> stateCode{};
    qint64 photos = 0;
    std::optional<PlaceCover> cover{};
    QList<PlaceNode> places{};

    static std::optional<RegionNode> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    bool operator==(const RegionNode&) const = default;
};

size_t qHash(const RegionNode& node, size_t seed = 0) noexcept;

} // namespace lumi
