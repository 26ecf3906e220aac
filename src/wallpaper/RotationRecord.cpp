#include "wallpaper/RotationRecord.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<Medium> RotationRecord::nowShowing() const
{
    const std::optional<QByteArray> bytes = m_defaults.bytesValue(keys::nowShowing);
    if (!bytes)
        return std::nullopt;
    return Medium::fromJson(QJsonDocument::fromJson(*bytes).object());
}

QHash<QString, Medium> RotationRecord::showingByDisplay() const
{
    const std::optional<QByteArray> bytes = m_defaults.bytesValue(keys::showingByDisplay);
    if (!bytes)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(*bytes);
    if (!document.isObject())
        return {};
    QHash<QString, Medium> byDisplay;
    const QJsonObject object = document.object();
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        std::optional<Medium> photo = Medium::fromJson(entry.value());
        if (!photo)
            return {};
        byDisplay.insert(entry.key(), std::move(*photo));
    }
    return byDisplay;
}

void RotationRecord::setShown(const Medium& photo, const QHash<QString, Medium>& byDisplay)
{
    m_defaults.setValue(keys::nowShowing, QJsonDocument(photo.toJson()).toJson(QJsonDocument::Compact));
    QJsonObject object;
    for (auto entry = byDisplay.begin(); entry != byDisplay.end(); ++entry)
        object.insert(entry.key(), entry.value().toJson());
    m_defaults.setValue(keys::showingByDisplay, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<QDateTime> RotationRecord::lastChange() const
{
    return m_defaults.dateValue(keys::lastChange);
}

void RotationRecord::setLastChange(const std::optional<QDateTime>& at)
{
    if (at)
        m_defaults.setValue(keys::lastChange, *at);
    else
        m_defaults.remove(keys::lastChange);
}

QString RotationRecord::calendarOnScreen() const
{
    return m_defaults.stringValue(keys::calendarOnScreen).value_or(u"none"_s);
}

QString RotationRecord::fitOnScreen() const
{
    return m_defaults.stringValue(keys::fitOnScreen).value_or(u"fill"_s);
}

void RotationRecord::setLook(const QString& calendarKey, const QString& fitKey)
{
    m_defaults.setValue(keys::calendarOnScreen, calendarKey);
    m_defaults.setValue(keys::fitOnScreen, fitKey);
}

void RotationRecord::clear()
{
    for (const QString& key : {keys::nowShowing, keys::showingByDisplay, keys::lastChange,
                               keys::calendarOnScreen, keys::fitOnScreen})
        m_defaults.remove(key);
}

} // namespace lumi
