#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUrl>

#include <optional>

namespace lumi {

// The cover photo of a places tree node.
struct PlaceCover final
{
    QString uuid{};
    std::optional<QString> title{};
    std::optional<QString> secureBaseUrl{};

    static std::optional<PlaceCover> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // The base URL followed directly by "640x360.jpg", for allowed addresses only (see CdnUrl).
    std::optional<QUrl> thumbnailURL() const;

    bool operator==(const PlaceCover&) const = default;
};

size_t qHash(const PlaceCover& cover, size_t seed = 0) noexcept;

} // namespace lumi
