#pragma once

#include "library/RotationLibrary.h"

#include <QStringList>

namespace lumi::test {

/// A photo library the test fills: the synced indexes, the user's own files of the wallpaper folder,
/// the two sync formats; records the syncs asked for.
class FakeRotationLibrary final : public RotationLibrary
{
public:
    const QString& paperDir() const override { return folder; }
    const QHash<QString, QString>& paperIndex() const override { return index; }
    const QHash<QString, QString>& saverIndex() const override { return saverFiles; }
    QList<Medium> folderPhotos(const QString& path) const override
    {
        return path == folder ? ownPhotos : QList<Medium>();
    }
    QHash<QString, QString> syncedTitles() const override { return titles; }
    MediaFormat targetFormat() const override { return target; }
    std::optional<MediaFormat> storedFormat() const override { return stored; }
    void requestSync(std::chrono::milliseconds delay, bool force) override
    {
        syncRequests.append(
            QStringLiteral("%1 ms%2").arg(delay.count()).arg(force ? QStringLiteral(" forced") : QString()));
    }

    QString folder = QStringLiteral("/nowhere/Lumivale Wallpaper");
    QHash<QString, QString> index;
    QHash<QString, QString> saverFiles;
    QList<Medium> ownPhotos;
    QHash<QString, QString> titles;
    MediaFormat target = MediaFormat::bestFit(2560, 1440);
    std::optional<MediaFormat> stored = MediaFormat::bestFit(2560, 1440);
    QStringList syncRequests;
};

} // namespace lumi::test
