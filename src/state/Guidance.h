#pragma once

#include "model/CancelToken.h"
#include "model/PlaceQuery.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

class AppModel;
class Clock;

/// What the app tells the user in passing (the notice line under the browser) and the views it asks
/// the main window to open. Main thread only.
class Guidance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Guidance)

public:
    static constexpr std::chrono::seconds noticeDuration{3};

    /// The model starts the notice's timer as its own task; both outlive the guidance.
    Guidance(AppModel& model, Clock& clock, QObject* parent = nullptr);
    ~Guidance() override;

    const std::optional<QString>& notice() const { return m_notice; }
    /// Shows the text as the notice for 3 s; a newer notice replaces it and starts the 3 s anew.
    void showNotice(QString text);

    // Set by whoever asks for a view; the view that shows it clears the flag.
    bool settingsRequested() const { return m_settingsRequested; }
    void setSettingsRequested(bool requested);
    bool showTodayRequested() const { return m_showTodayRequested; }
    void setShowTodayRequested(bool requested);
    const std::optional<PlaceQuery>& showPlaceRequested() const { return m_showPlaceRequested; }
    void setShowPlaceRequested(std::optional<PlaceQuery> place);

signals:
    void noticeChanged();
    void settingsRequestedChanged();
    void showTodayRequestedChanged();
    void showPlaceRequestedChanged();

private:
    void setNotice(std::optional<QString> notice);
    QCoro::Task<void> clearNoticeLater(CancelToken cancel);

    AppModel& m_model;
    Clock& m_clock;
    std::optional<QString> m_notice;
    std::optional<CancelToken> m_noticeShown;
    bool m_settingsRequested = false;
    bool m_showTodayRequested = false;
    std::optional<PlaceQuery> m_showPlaceRequested;
};

} // namespace lumi
