#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace lumi {

// Reads the service's JSON records.
//
// The member functions read one object strictly: the first failure is kept together with the
// coding path that led to it ("$.media[2].title: expected a string, found a number") and every
// later read is skipped, so the request pipeline can log and report where an answer broke.
// The static tolerant helpers serve the records that never fail because of a single key.
//
// Every decodable record T has `static std::optional<T> fromJson(const QJsonValue&, QString* error)`;
// `decode<T>` also takes QList<T> for the bare arrays the service answers with.
class JsonReader final
{
public:
    // Fails at once unless `value` is a JSON object.
    explicit JsonReader(const QJsonValue& value);

    const QJsonObject& object() const { return m_object; }
    bool failed() const { return !m_error.isEmpty(); }
    // True when nothing failed; otherwise hands the first failure to `error` when one is given.
    bool finish(QString* error) const;

    // Strict reads: a required key must hold its type; an optional one may be missing or null.
    QString string(QStringView key);
    std::optional<QString> optionalString(QStringView key);
    qint64 integer(QStringView key);
    bool boolean(QStringView key);
    std::optional<QStringList> optionalStringList(QStringView key);
    template <typename T> T record(QStringView key);
    template <typename T> std::optional<T> optionalRecord(QStringView key);
    template <typename T> QList<T> list(QStringView key);
    template <typename T> std::optional<QList<T>> optionalList(QStringView key);

    // Tolerant reads: a missing, null or wrongly typed value is simply absent.
    static std::optional<QString> tolerantString(const QJsonObject& object, QStringView key);
    static std::optional<qint64> tolerantInteger(const QJsonObject& object, QStringView key);
    // A boolean; else an integer (true unless 0); else true only for the strings "true" and "1".
    static std::optional<bool> lenientFlag(const QJsonObject& object, QStringView key);
    // A string as it is, or an integer as its decimal text.
    static std::optional<QString> textOrNumber(const QJsonObject& object, QStringView key);

    // The value as a whole number, or none. Qt keeps 12.0 as a double; an integral double within
    // the 64-bit range still counts, 12.5 and "12" do not.
    static std::optional<qint64> exactInteger(const QJsonValue& value);

    template <typename T> static std::optional<T> decode(const QJsonValue& value, QString* error = nullptr);
    // Parses an answer body first; a body that is no JSON fails with the parser's message.
    template <typename T> static std::optional<T> decode(const QByteArray& body, QString* error = nullptr);

private:
    template <typename T> struct Decoder
    {
        static std::optional<T> run(const QJsonValue& value, QString* error)
        {
            return T::fromJson(value, error);
        }
    };
    template <typename T> struct Decoder<QList<T>>
    {
        static std::optional<QList<T>> run(const QJsonValue& value, QString* error);
    };

    // The value under `key` unless missing or null (which fails when `required`), or after a failure.
    std::optional<QJsonValue> take(QStringView key, bool required);
    void failType(QStringView key, QStringView expected, const QJsonValue& found);
    // Keeps a failure of a nested value, whose own path starts at "$", under `segment`.
    void failNested(const QString& segment, const QString& nestedError);

    template <typename T> std::optional<QList<T>> readList(QStringView key, const QJsonValue& value);

    static QString typeName(const QJsonValue& value);
    static QString typeMismatch(QStringView expected, const QJsonValue& found);
    static QString nested(const QString& segment, const QString& nestedError);

    QJsonObject m_object;
    QString m_error;
};

template <typename T> T JsonReader::record(QStringView key)
{
    const auto value = take(key, true);
    if (!value)
        return T{};
    QString nestedError;
    if (auto decoded = T::fromJson(*value, &nestedError))
        return std::move(*decoded);
    failNested(u'.' + key.toString(), nestedError);
    return T{};
}

template <typename T> std::optional<T> JsonReader::optionalRecord(QStringView key)
{
    const auto value = take(key, false);
    if (!value)
        return std::nullopt;
    QString nestedError;
    auto decoded = T::fromJson(*value, &nestedError);
    if (!decoded)
        failNested(u'.' + key.toString(), nestedError);
    return decoded;
}

template <typename T> QList<T> JsonReader::list(QStringView key)
{
    const auto value = take(key, true);
    if (!value)
        return {};
    return readList<T>(key, *value).value_or(QList<T>{});
}

template <typename T> std::optional<QList<T>> JsonReader::optionalList(QStringView key)
{
    const auto value = take(key, false);
    if (!value)
        return std::nullopt;
    return readList<T>(key, *value);
}

template <typename T> std::optional<QList<T>> JsonReader::readList(QStringView key, const QJsonValue& value)
{
    QString nestedError;
    auto decoded = Decoder<QList<T>>::run(value, &nestedError);
    if (!decoded)
        failNested(u'.' + key.toString(), nestedError);
    return decoded;
}

template <typename T>
std::optional<QList<T>> JsonReader::Decoder<QList<T>>::run(const QJsonValue& value, QString* error)
{
    if (!value.isArray()) {
        if (error)
            *error = QStringLiteral("$: ") + typeMismatch(u"an array", value);
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    QList<T> result;
    result.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString nestedError;
        auto element = Decoder<T>::run(array.at(i), &nestedError);
        if (!element) {
            if (error)
                *error = nested(u'[' + QString::number(i) + u']', nestedError);
            return std::nullopt;
        }
        result.append(std::move(*element));
    }
    return result;
}

template <typename T> std::optional<T> JsonReader::decode(const QJsonValue& value, QString* error)
{
    return Decoder<T>::run(value, error);
}

template <typename T> std::optional<T> JsonReader::decode(const QByteArray& body, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = QStringLiteral("$: not valid JSON (%1 at offset %2)")
                         .arg(parseError.errorString())
                         .arg(parseError.offset);
        return std::nullopt;
    }
    return decode<T>(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()),
                     error);
}

} // namespace lumi
