#pragma once

#include "model/PlaceCover.h"
#include "model/RegionNode.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// One country of the places tree; identified by its slug in lists.
struct CountryNode final
{
    QString code{};
    QString name{};
    QString slug{};
    qint64 photos = 0;
    std::optional<PlaceCover> cover{};
    QList<RegionNode> regions{};

    static std::optional<CountryNode> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    bool operator==(const CountryNode&) const = default;
};

size_t qHash(const CountryNode& node, size_t seed = 0) noexcept;

} // namespace lumi
