#include "library/LocalOutputNames.h"

#include "library/PhotoFileNames.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi {

LocalOutputNames::LocalOutputNames(QHash<QString, QString> previous) : m_previous(std::move(previous))
{
    for (auto it = m_previous.cbegin(); it != m_previous.cend(); ++it) {
        // A damaged record may name one source twice: the smaller name wins, whatever the hash order.
        const auto known = m_previousNames.constFind(it.value());
        if (known == m_previousNames.cend() || it.key() < known.value())
            m_previousNames.insert(it.value(), it.key());
    }
}

QString LocalOutputNames::claim(const QString& sourcePath)
{
    const QString previousName = m_previousNames.value(sourcePath);
    if (!previousName.isEmpty() && !m_claimed.contains(previousName)) {
        m_claimed.insert(previousName, sourcePath);
        return previousName;
    }
    QString base = QFileInfo(sourcePath).completeBaseName();
    if (PhotoFileNames::isAppFileName(base + u".jpg"_s))
        base += u'x';
    QString name = base + u".jpg"_s;
    for (int n = 2; m_claimed.contains(name); ++n)
        name = base + u' ' + QString::number(n) + u".jpg"_s;
    m_claimed.insert(name, sourcePath);
    return name;
}

bool LocalOutputNames::wasRenderedFrom(const QString& outputName, const QString& sourcePath) const
{
    return m_previous.value(outputName) == sourcePath;
}

QVariantMap LocalOutputNames::toVariant(const QHash<QString, QString>& record)
{
    QVariantMap map;
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

QHash<QString, QString> LocalOutputNames::fromVariant(const QVariant& value)
{
    QHash<QString, QString> record;
    if (value.typeId() != QMetaType::QVariantMap)
        return record;
    const QVariantMap map = value.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it.value().typeId() != QMetaType::QString)
            return {};
        record.insert(it.key(), it.value().toString());
    }
    return record;
}

} // namespace lumi
