#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace lumi::sandbox {

// One injected fault: which requests it hits and what happens to them instead of (or before)
// the normal answer. `remaining` is negative for a fault without a limit.
struct Fault final
{
    QByteArray method; // "*" for any
    QByteArray path;   // raw path; a prefix when `prefix` is set
    bool prefix = false;
    std::optional<int> status;
    std::optional<QByteArray> body;
    QByteArray contentType;
    int delayMs = 0;
    bool drop = false;
    QString photo;       // "", "short" or "missing"
    qsizetype padTo = 0; // a JSON object answer is padded with blanks to this many bytes
    QByteArray redirect; // answered with 302 and this Location
    int remaining = -1;
    QJsonObject described; // as posted, for listing

    bool matches(const QByteArray& requestMethod, const QByteArray& requestPath) const;
    // The fault described by a posted JSON object, or an explanation of what is wrong with it.
    static std::optional<Fault> fromJson(const QJsonObject& described, QString* problem);
};

} // namespace lumi::sandbox
