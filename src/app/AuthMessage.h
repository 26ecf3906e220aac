#pragma once

#include <QString>

#include <exception>

namespace lumi {

/// A finished message for the sign-in window's error line, replacing a service error where the
/// window knows better what went wrong.
class AuthMessage final : public std::exception
{
public:
    explicit AuthMessage(QString text) : m_text(std::move(text)), m_what(m_text.toUtf8()) {}

    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_text;
    QByteArray m_what;
};

} // namespace lumi
