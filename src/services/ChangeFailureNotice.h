#pragma once

#include "model/AppLog.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

namespace lumi {

class Notifier;
class RotationEngine;

/// Tells the desktop once when the rotation's changes keep failing, so a user who only has the
/// tray learns that the wallpaper stands still and why. Said again only after changes worked in
/// between. A click on the notification asks for the main window.
class ChangeFailureNotice final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChangeFailureNotice)

public:
    /// Both outlive the notice.
    ChangeFailureNotice(const RotationEngine& rotation, Notifier& notifier, QObject* parent = nullptr);
    ~ChangeFailureNotice() override;

signals:
    /// The user clicked the notification.
    void opened();

private:
    void failureChanged();
    QCoro::Task<void> post(QString reason);

    const RotationEngine& m_rotation;
    Notifier& m_notifier;
    AppLog m_log{QStringLiteral("notifier")};
    uint m_shownId = 0;
};

} // namespace lumi
