#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <type_traits>

namespace lumi {

namespace keys {
template <typename T> struct Key;
} // namespace keys

/// The device-local settings store: one JSON file, rewritten atomically on every change. Values
/// keep their type (bool, integer, double, string, list, map, bytes, date), so a typed read of a
/// value of another type gives nothing and the caller falls back to its default.
/// A corrupt file is kept aside as "<file>.corrupt" and the store starts empty.
class Defaults final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Defaults)

public:
    explicit Defaults(QString filePath, QObject* parent = nullptr);

    /// The store the composition root installed, else one at the standard path, made on first use.
    static Defaults& shared();
    static void setShared(std::unique_ptr<Defaults> defaults);

    bool contains(const QString& key) const;
    /// bool, qint64, double, QString, QVariantList, QVariantMap, QByteArray or QDateTime; invalid when
    /// absent.
    QVariant value(const QString& key) const;

    std::optional<bool> boolValue(const QString& key) const;
    std::optional<qint64> integerValue(const QString& key) const;
    /// Integers read as doubles too.
    std::optional<double> doubleValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    /// Only a list whose every element is a string.
    std::optional<QStringList> stringListValue(const QString& key) const;
    std::optional<QVariantMap> mapValue(const QString& key) const;
    std::optional<QByteArray> bytesValue(const QString& key) const;
    std::optional<QDateTime> dateValue(const QString& key) const;

    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

    /// The stored value when it has the key's type, else the key's default.
    template <typename T> T get(const keys::Key<T>& key) const
    {
        return typedValue<T>(key.name).value_or(key.defaultValue);
    }
    template <typename T> void set(const keys::Key<T>& key, const T& value)
    {
        setValue(key.name, QVariant::fromValue(value));
    }

    QString filePath() const { return m_filePath; }

signals:
    void changed(const QString& key);

private:
    template <typename T> std::optional<T> typedValue(const QString& key) const
    {
        if constexpr (std::is_same_v<T, bool>)
            return boolValue(key);
        else if constexpr (std::is_same_v<T, QString>)
            return stringValue(key);
        else
            return stringListValue(key);
    }

    void load();
    void save() const;

    QString m_filePath;
    QVariantMap m_values;
};

} // namespace lumi
