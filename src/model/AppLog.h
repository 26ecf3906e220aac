#pragma once

#include <QString>

namespace lumi {

/// A log handle for one area of the app. Lines go to stderr (picked up by the journal) and to the
/// app's log file through LogStore.
class AppLog final
{
public:
    explicit AppLog(QString category) : m_category(std::move(category)) {}

    void info(const QString& message) const { log(message, 'I'); }
    void error(const QString& message) const { log(message, 'E'); }

    const QString& category() const { return m_category; }

private:
    void log(const QString& message, char letter) const;

    QString m_category;
};

} // namespace lumi
