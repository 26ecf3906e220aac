#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>

namespace lumi {

/// The process-wide log sink: keeps the newest lines in memory and appends every line to
/// "lumivale.log", moving a full file aside to "lumivale.log.1". Logging never fails: file errors
/// lose the line from the file only.
class LogStore final
{
public:
    static constexpr int recentLimit = 200;
    static constexpr qint64 rotateAbove = 1024 * 1024;

    /// folder is the "Logs" folder; it is created here.
    explicit LogStore(QString folder);

    /// The shared store in the data folder, made on first use.
    static LogStore& shared();
    /// Lets tests and the composition root point logging elsewhere.
    static void setShared(std::unique_ptr<LogStore> store);

    void append(QChar letter, const QString& category, const QString& message);
    void writeLine(const QString& text);
    /// The end of the log over the previous and the current file, at most maxBytes bytes.
    QString tail(qint64 maxBytes) const;
    QStringList recent() const;

    QString filePath() const { return m_file; }
    QString previousPath() const { return m_previous; }

private:
    void writeLineLocked(const QString& text);

    mutable QMutex m_mutex;
    QStringList m_recent;
    QString m_file;
    QString m_previous;
};

} // namespace lumi
