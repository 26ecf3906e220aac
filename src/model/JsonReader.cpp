#include "model/JsonReader.h"

#include <QMetaType>
#include <QVariant>

#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

JsonReader::JsonReader(const QJsonValue& value)
{
    if (value.isObject())
        m_object = value.toObject();
    else
        m_error = u"$: "_s + typeMismatch(u"an object", value);
}

bool JsonReader::finish(QString* error) const
{
    if (failed() && error)
        *error = m_error;
    return !failed();
}

QString JsonReader::string(QStringView key)
{
    const auto value = take(key, true);
    if (!value)
        return {};
    if (!value->isString()) {
        failType(key, u"a string", *value);
        return {};
    }
    return value->toString();
}

std::optional<QString> JsonReader::optionalString(QStringView key)
{
    const auto value = take(key, false);
    if (!value)
        return std::nullopt;
    if (!value->isString()) {
        failType(key, u"a string", *value);
        return std::nullopt;
    }
    return value->toString();
}

qint64 JsonReader::integer(QStringView key)
{
    const auto value = take(key, true);
    if (!value)
        return 0;
    const auto number = exactInteger(*value);
    if (!number) {
        failType(key, u"an integer", *value);
        return 0;
    }
    return *number;
}

bool JsonReader::boolean(QStringView key)
{
    const auto value = take(key, true);
    if (!value)
        return false;
    if (!value->isBool()) {
        failType(key, u"a boolean", *value);
        return false;
    }
    return value->toBool();
}

std::optional<QStringList> JsonReader::optionalStringList(QStringView key)
{
    const auto value = take(key, false);
    if (!value)
        return std::nullopt;
    if (!value->isArray()) {
        failType(key, u"an array", *value);
        return std::nullopt;
    }
    const QJsonArray array = value->toArray();
    QStringList texts;
    texts.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array.at(i).isString()) {
            failNested(u'.' + key.toString(), u"$[%1]: "_s.arg(i) + typeMismatch(u"a string", array.at(i)));
            return std::nullopt;
        }
        texts.append(array.at(i).toString());
    }
    return texts;
}

std::optional<QString> JsonReader::tolerantString(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> JsonReader::tolerantInteger(const QJsonObject& object, QStringView key)
{
    return exactInteger(object.value(key));
}

std::optional<bool> JsonReader::lenientFlag(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isBool())
        return value.toBool();
    if (const auto number = exactInteger(value))
        return *number != 0;
    if (value.isString()) {
        const QString text = value.toString();
        return text == u"true"_s || text == u"1"_s;
    }
    return std::nullopt;
}

std::optional<QString> JsonReader::textOrNumber(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        return value.toString();
    if (const auto number = exactInteger(value))
        return QString::number(*number);
    return std::nullopt;
}

std::optional<qint64> JsonReader::exactInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const QVariant variant = value.toVariant();
    if (variant.typeId() == QMetaType::LongLong)
        return variant.toLongLong();
    // 2^63 is exactly representable; anything at or beyond it would overflow the cast.
    constexpr double limit = 9223372036854775808.0;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || number < -limit || number >= limit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<QJsonValue> JsonReader::take(QStringView key, bool required)
{
    if (failed())
        return std::nullopt;
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined() || value.isNull()) {
        if (required)
            m_error = u"$."_s + key.toString() +
                      (value.isNull() ? u": required value is null"_s : u": required key is missing"_s);
        return std::nullopt;
    }
    return value;
}

void JsonReader::failType(QStringView key, QStringView expected, const QJsonValue& found)
{
    if (!failed())
        m_error = u"$."_s + key.toString() + u": "_s + typeMismatch(expected, found);
}

void JsonReader::failNested(const QString& segment, const QString& nestedError)
{
    if (!failed())
        m_error = nested(segment, nestedError);
}

QString JsonReader::typeName(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return u"null"_s;
    case QJsonValue::Bool:
        return u"a boolean"_s;
    case QJsonValue::Double:
        return u"a number"_s;
    case QJsonValue::String:
        return u"a string"_s;
    case QJsonValue::Array:
        return u"an array"_s;
    case QJsonValue::Object:
        return u"an object"_s;
    case QJsonValue::Undefined:
        break;
    }
    return u"nothing"_s;
}

QString JsonReader::typeMismatch(QStringView expected, const QJsonValue& found)
{
    return u"expected "_s + expected.toString() + u", found "_s + typeName(found);
}

QString JsonReader::nested(const QString& segment, const QString& nestedError)
{
    // Every failure text starts with its own root "$"; the segment slots in right after it.
    return u'$' + segment + nestedError.mid(1);
}

} // namespace lumi
