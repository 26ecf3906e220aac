#pragma once

#include "model/AppLog.h"
#include "model/Medium.h"
#include "services/SupportTests.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

#include <optional>

namespace lumi {

class APIClient;
class Account;
class RotationEngine;

/// The support self-test behind the support pane's "Run": the data folder is writable, the API
/// answers, a wallpaper can be set through the CDN and directly, the calendar can be drawn, and
/// how the playlists are marked. The report goes to POST "info" and the log's end to POST
/// "rlogger"; the pane shows the progress while it runs and the result line with its hints after.
class Diagnostics final : public SupportTests
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Diagnostics)

public:
    Diagnostics(APIClient& api, RotationEngine& rotation, const Account& account, QObject* parent = nullptr);
    ~Diagnostics() override;

    bool running() const override { return m_running; }
    double progress() const override { return m_progress; }
    QString step() const override { return m_step; }
    /// The last run's result line; none before the first run ends.
    std::optional<QString> result() const override { return m_result; }
    QStringList hints() const override { return m_hints; }

    /// Runs every test in order and sends the report; never fails. A run asked for while one is
    /// running is ignored.
    QCoro::Task<void> runTests() override;

    /// The photo the wallpaper tests set when none is showing yet.
    static Medium samplePhoto();

signals:
    void runningChanged();
    void progressChanged();
    void stepChanged();
    void resultChanged();
    void hintsChanged();

private:
    QCoro::Task<void> announce(const QString& label, double progress);
    bool writeTest() const;
    void setRunning(bool running);
    void setProgress(double progress);
    void setStep(const QString& step);
    void setResult(std::optional<QString> result);
    void setHints(const QStringList& hints);

    APIClient& m_api;
    RotationEngine& m_rotation;
    const Account& m_account;
    AppLog m_log;
    bool m_running = false;
    double m_progress = 0;
    QString m_step;
    std::optional<QString> m_result;
    QStringList m_hints;
};

} // namespace lumi
