#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// Writes records back in the service's keys; absent values are left out, never written as null.
class JsonWriter final
{
public:
    static void put(QJsonObject& object, const QString& key, const std::optional<QString>& value)
    {
        if (value)
            object.insert(key, *value);
    }

    static void put(QJsonObject& object, const QString& key, const std::optional<bool>& value)
    {
        if (value)
            object.insert(key, *value);
    }

    static void put(QJsonObject& object, const QString& key, const std::optional<qint64>& value)
    {
        if (value)
            object.insert(key, *value);
    }

    // A nested record with its own toJson().
    template <typename T>
    static void put(QJsonObject& object, const QString& key, const std::optional<T>& value)
    {
        if (value)
            object.insert(key, value->toJson());
    }

    template <typename T> static QJsonArray array(const QList<T>& values)
    {
        QJsonArray array;
        for (const T& value : values)
            array.append(value.toJson());
        return array;
    }
};

} // namespace lumi
