#include "model/Defaults.h"

#include "model/AppLog.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// JSON has no bytes or dates: they are stored as tagged objects.
const QString typeTag = u"$type"_s;
const QString valueTag = u"value"_s;

std::unique_ptr<Defaults>& sharedSlot()
{
    static std::unique_ptr<Defaults> defaults;
    return defaults;
}

QJsonValue toJson(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return QJsonObject{{typeTag, u"bytes"_s},
                           {valueTag, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QDateTime:
        return QJsonObject{{typeTag, u"date"_s},
                           {valueTag, value.toDateTime().toUTC().toString(Qt::ISODateWithMs)}};
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant& item : value.toList())
            array.append(toJson(item));
        return array;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // JSON writes 2.0 as "2", which reads back as an integer: tag whole doubles to keep their type.
        const double number = value.toDouble();
        if (std::isfinite(number) && std::trunc(number) == number)
            return QJsonObject{{typeTag, u"double"_s}, {valueTag, number}};
        return number;
    }
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), toJson(it.value()));
        return object;
    }
    default:
        return QJsonValue::fromVariant(value);
    }
}

QVariant fromJson(const QJsonValue& json)
{
    if (json.isArray()) {
        QVariantList list;
        for (const QJsonValue& item : json.toArray())
            list.append(fromJson(item));
        return list;
    }
    if (json.isObject()) {
        const QJsonObject object = json.toObject();
        const QString tag = object.value(typeTag).toString();
        if (object.size() == 2 && tag == u"bytes"_s)
            return QByteArray::fromBase64(object.value(valueTag).toString().toLatin1());
        if (object.size() == 2 && tag == u"date"_s)
            return QDateTime::fromString(object.value(valueTag).toString(), Qt::ISODateWithMs);
        if (object.size() == 2 && tag == u"double"_s)
            return object.value(valueTag).toDouble();
        QVariantMap map;
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), fromJson(it.value()));
        return map;
    }
    return json.toVariant();
}

// QVariant equality converts between numbers (so [0] equals [false]); JSON text does not.
QByteArray jsonText(const QVariant& value)
{
    return QJsonDocument(QJsonArray{toJson(value)}).toJson(QJsonDocument::Compact);
}

template <typename T> std::optional<T> typed(const QVariant& value, QMetaType::Type type)
{
    if (value.typeId() != type)
        return std::nullopt;
    return value.value<T>();
}

} // namespace

Defaults::Defaults(QString filePath, QObject* parent) : QObject(parent), m_filePath(std::move(filePath))
{
    load();
}

Defaults& Defaults::shared()
{
    auto& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<Defaults>(Paths::defaultsFile());
    return *slot;
}

void Defaults::setShared(std::unique_ptr<Defaults> defaults)
{
    sharedSlot() = std::move(defaults);
}

void Defaults::load()
{
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        AppLog(u"defaults"_s).error(u"can't read "_s + m_filePath + u": "_s + file.errorString());
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    if (!document.isObject()) {
        const QString aside = m_filePath + u".corrupt"_s;
        QFile::remove(aside);
        QFile::rename(m_filePath, aside);
        AppLog(u"defaults"_s)
            .error(u"settings file is corrupt ("_s + error.errorString() + u"); kept as "_s + aside +
                   u", starting empty"_s);
        return;
    }
    m_values = fromJson(document.object()).toMap();
}

void Defaults::save() const
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    const QByteArray bytes = QJsonDocument(toJson(m_values).toObject()).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        AppLog(u"defaults"_s).error(u"can't write "_s + m_filePath + u": "_s + file.errorString());
}

bool Defaults::contains(const QString& key) const
{
    return m_values.contains(key);
}

QVariant Defaults::value(const QString& key) const
{
    return m_values.value(key);
}

std::optional<bool> Defaults::boolValue(const QString& key) const
{
    return typed<bool>(value(key), QMetaType::Bool);
}

std::optional<qint64> Defaults::integerValue(const QString& key) const
{
    return typed<qint64>(value(key), QMetaType::LongLong);
}

std::optional<double> Defaults::doubleValue(const QString& key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::LongLong)
        return double(v.toLongLong());
    return typed<double>(v, QMetaType::Double);
}

std::optional<QString> Defaults::stringValue(const QString& key) const
{
    return typed<QString>(value(key), QMetaType::QString);
}

std::optional<QStringList> Defaults::stringListValue(const QString& key) const
{
    const QVariant v = value(key);
    if (v.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList list;
    for (const QVariant& item : v.toList()) {
        if (item.typeId() != QMetaType::QString)
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

std::optional<QVariantMap> Defaults::mapValue(const QString& key) const
{
    return typed<QVariantMap>(value(key), QMetaType::QVariantMap);
}

std::optional<QByteArray> Defaults::bytesValue(const QString& key) const
{
    return typed<QByteArray>(value(key), QMetaType::QByteArray);
}

std::optional<QDateTime> Defaults::dateValue(const QString& key) const
{
    return typed<QDateTime>(value(key), QMetaType::QDateTime);
}

void Defaults::setValue(const QString& key, const QVariant& value)
{
    // Normalise through JSON text so a read right after a write sees what a restart would see.
    const QByteArray text = jsonText(value);
    if (m_values.contains(key) && jsonText(m_values.value(key)) == text)
        return;
    const QVariant stored = fromJson(QJsonDocument::fromJson(text).array().first());
    m_values.insert(key, stored);
    save();
    emit changed(key);
}

void Defaults::remove(const QString& key)
{
    if (m_values.remove(key) == 0)
        return;
    save();
    emit changed(key);
}

} // namespace lumi
