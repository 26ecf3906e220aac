#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

/// The support self-test as the settings window shows it: its progress while it runs, the
/// summary and hints of the last run, and its start. It outlives the window, so a run started
/// earlier is shown when the window opens again.
class SupportTests : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SupportTests)

public:
    ~SupportTests() override = default;

    virtual bool running() const = 0;
    /// From 0 to 1.
    virtual double progress() const = 0;
    /// The label of the test running now.
    virtual QString step() const = 0;
    /// The summary of the last run; none before the first.
    virtual std::optional<QString> result() const = 0;
    virtual QStringList hints() const = 0;
    /// Runs every test and sends the report; a call while a run is going is ignored.
    virtual QCoro::Task<void> runTests() = 0;

signals:
    /// Any of the above changed.
    void changed();

protected:
    SupportTests() = default;
};

} // namespace lumi
