#pragma once

#include "model/CancelToken.h"
#include "model/PlaceQuery.h"
#include "state/SettingsSection.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

class Account;
class AppModel;
class Clock;
class EventSink;
class SettingsSync;
class WindowPresenter;

/// What the app tells and asks the user in passing: the notice line under the browser, the views
/// it asks the main window to open, the survey, the calendar onboarding and the tour. The model's
/// first-run alerts raise the onboarding and the tour; a sign-out drops all of it. Main thread only.
class Guidance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Guidance)

public:
    static constexpr std::chrono::seconds noticeDuration{3};
    static constexpr std::chrono::milliseconds surveyDelay{1200};
    /// The tour's delay before a step while the window is in view (and between steps), and after
    /// the window had to be brought up first.
    static constexpr std::chrono::milliseconds tourStepDelay{300};
    static constexpr std::chrono::milliseconds tourOpeningDelay{1000};

    /// The model starts the guidance's tasks as its own; it and the services outlive the guidance.
    /// The settings part writes the calendar the onboarding picks.
    Guidance(AppModel& model, const Account& account, Clock& clock, WindowPresenter& window,
             EventSink& events, SettingsSync& settings, QObject* parent = nullptr);
    ~Guidance() override;

    const std::optional<QString>& notice() const { return m_notice; }
    /// Shows the text as the notice for 3 s; a newer notice replaces it and starts the 3 s anew.
    void showNotice(QString text);

    // Set by whoever asks for a view; the view that shows it clears the flag.
    bool settingsRequested() const { return m_settingsRequested; }
    void setSettingsRequested(bool requested);
    /// Asks for the settings, opened on the section, or where the user was when none is given.
    void requestSettings(std::optional<SettingsSection> section);
    /// The section the last request asked for.
    std::optional<SettingsSection> settingsSection() const { return m_settingsSection; }
    bool showTodayRequested() const { return m_showTodayRequested; }
    void setShowTodayRequested(bool requested);
    const std::optional<PlaceQuery>& showPlaceRequested() const { return m_showPlaceRequested; }
    void setShowPlaceRequested(std::optional<PlaceQuery> place);

    bool surveyRequested() const { return m_surveyRequested; }
    void setSurveyRequested(bool requested);
    /// Offers a due survey once per session, after telling the server it was offered.
    void scheduleSurvey();
    /// The outcome shows as a notice.
    void submitSurvey(QString email, QString score, QString comment);

    bool onboardingDue() const { return m_onboardingDue; }
    void setOnboardingDue(bool due);
    bool onboardingRequested() const { return m_onboardingRequested; }
    void setOnboardingRequested(bool requested);
    void requestOnboarding();
    /// choice: the calendar theme picked, or none for no calendar.
    void finishOnboarding(bool accepted, std::optional<QString> choice);

    bool tourDue() const { return m_tourDue; }
    void setTourDue(bool due);
    std::optional<int> tourStep() const { return m_tourStep; }
    void setTourStep(std::optional<int> step);
    std::optional<int> tourPreparing() const { return m_tourPreparing; }
    void setTourPreparing(std::optional<int> step);
    void startTour(bool fromAlert);
    /// Hides the current step and shows this one after the delay; a newer step cancels it.
    void showTourStep(int step, std::chrono::milliseconds delay);
    /// A tour the alert started hands the alert in.
    void endTour();

signals:
    void noticeChanged();
    void settingsRequestedChanged();
    void showTodayRequestedChanged();
    void showPlaceRequestedChanged();
    void surveyRequestedChanged();
    void onboardingDueChanged();
    void onboardingRequestedChanged();
    void tourDueChanged();
    void tourStepChanged();
    void tourPreparingChanged();

private:
    void setNotice(std::optional<QString> notice);
    QCoro::Task<void> clearNoticeLater(CancelToken cancel);
    /// A session that ends takes its survey, onboarding and tour along, without handing in the alert.
    void sessionEnded();
    QCoro::Task<void> offerSurvey(CancelToken wait);
    QCoro::Task<void> revealSurvey(CancelToken wait);
    QCoro::Task<void> submitSurveyAnswers(QString email, QString score, QString comment);
    QCoro::Task<void> applyOnboardingCalendar(std::optional<QString> choice, bool calendarOn,
                                              std::optional<QString> currentTheme);
    QCoro::Task<void> revealTourStep(int step, std::chrono::milliseconds delay, CancelToken cancel);

    AppModel& m_model;
    const Account& m_account;
    Clock& m_clock;
    WindowPresenter& m_window;
    EventSink& m_events;
    SettingsSync& m_settings;
    std::optional<QString> m_notice;
    std::optional<CancelToken> m_noticeShown;
    bool m_settingsRequested = false;
    std::optional<SettingsSection> m_settingsSection;
    bool m_showTodayRequested = false;
    std::optional<PlaceQuery> m_showPlaceRequested;
    bool m_surveyRequested = false;
    bool m_surveyAsked = false;
    std::optional<CancelToken> m_surveyWait;
    bool m_onboardingDue = false;
    bool m_onboardingRequested = false;
    bool m_tourDue = false;
    std::optional<int> m_tourStep;
    std::optional<int> m_tourPreparing;
    bool m_tourFromAlert = false;
    std::optional<CancelToken> m_tourShowing;
};

} // namespace lumi
