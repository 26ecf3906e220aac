#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// One catalog collection; the categories request answers with a bare array of them.
struct Category final
{
    QString title{};
    // Identifies the collection and forms its media listing path.
    QString channelPath{};

    static std::optional<Category> fromJson(const QJsonValue& json, QString* error = nullptr);
    static std::optional<QList<Category>> listFromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    bool operator==(const Category&) const = default;
};

size_t qHash(const Category& category, size_t seed = 0) noexcept;

} // namespace lumi
