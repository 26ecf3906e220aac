#pragma once

#include "platform/WallpaperSetter.h"

#include <QCoroTask>
#include <QObject>

#include <memory>

namespace lumi {

/// Stands for the setter the session turns out to need while asking the bus which desktop runs,
/// so start-up never waits for that answer. Pictures asked for meanwhile wait for the choice.
class DeferredWallpaperSetter final : public QObject, public WallpaperSetter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeferredWallpaperSetter)

public:
    /// Starts the choice at once.
    explicit DeferredWallpaperSetter(QCoro::Task<std::unique_ptr<WallpaperSetter>> choice,
                                     QObject* parent = nullptr);
    ~DeferredWallpaperSetter() override;

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    /// The chosen setter's own way of setting one change.
    QCoro::Task<QList<WallpaperSetResult>> setWallpapers(QList<WallpaperRequest> requests) override;
    /// Nothing until the choice is made: no picture was set before it.
    QStringList filesInUse() const override;
    /// Not until the choice is made: pictures asked for meanwhile need their file.
    bool paintsPicture() const override;
    /// Until the choice is made, yes: a change waits for it anyway.
    bool wantsWholeChanges() const override;
    QString name() const override;

    bool isDecided() const { return m_decided; }

signals:
    void decided();

private:
    QCoro::Task<void> decide(QCoro::Task<std::unique_ptr<WallpaperSetter>> choice);
    /// Resumes once the choice is made.
    QCoro::Task<void> decision();
    static WallpaperSetResult unsupported(const QString& file);

    std::unique_ptr<WallpaperSetter> m_setter;
    bool m_decided = false;
};

} // namespace lumi
