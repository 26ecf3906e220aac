#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

namespace lumi {

/// Names of the rendered local photos in the wallpaper and saver folders, handed out during one
/// sync pass. Two linked folders may both hold IMG_0001.JPG: the first claim gets "IMG_0001.jpg",
/// later ones "IMG_0001 2.jpg" and so on. A source keeps the name it had in the previous pass when
/// that name is still free, so names do not shift when another folder changes; and since a name
/// may pass to another source, an output counts as current only when the same source made it.
/// A name the sync could take for one of its own downloads gains an "x" ("Trip-20240131x.jpg"
/// stays, "Beach-1a2b3c4dx.jpg"), so rendered photos are never pruned or indexed as downloads.
class LocalOutputNames final
{
public:
    /// previous: output name to source path, as `record` gave it at the end of the last pass.
    explicit LocalOutputNames(QHash<QString, QString> previous = {});

    /// The output name for the source file; each name is handed out once per pass.
    QString claim(const QString& sourcePath);
    /// The output of that name was rendered from this source in the previous pass.
    bool wasRenderedFrom(const QString& outputName, const QString& sourcePath) const;
    /// Output name to source path of this pass's claims.
    QHash<QString, QString> record() const { return m_claimed; }

    /// The record as stored in the settings and read back; an unreadable value gives an empty one.
    static QVariantMap toVariant(const QHash<QString, QString>& record);
    static QHash<QString, QString> fromVariant(const QVariant& value);

private:
    QHash<QString, QString> m_previous;
    QHash<QString, QString> m_previousNames; ///< source path to its name in the previous pass
    QHash<QString, QString> m_claimed;
};

} // namespace lumi
