#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QtGlobal>

namespace lumi::test {

// Any JSON text, scalars included, as a value; test tables keep their inputs as readable text.
inline QJsonValue jsonValue(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson("[" + text + "]", &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad JSON in a test table: %s", text.constData());
    return document.array().at(0);
}

// Compact text with sorted keys, so 3 and "3" or 12 and 12.5 never compare alike.
inline QByteArray jsonText(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace lumi::test
