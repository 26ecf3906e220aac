#pragma once

#include <QString>

#include <exception>

namespace lumi {

/// Every failure of a service request. Each kind has one user-facing text.
class APIError final : public std::exception
{
public:
    enum class Kind {
        Http,          ///< a status outside 2xx (status, optional server message)
        Network,       ///< the transfer itself failed (detail: the transport error)
        Decoding,      ///< a 2xx answer that doesn't decode (detail: what failed)
        Unauthorized,  ///< 401 on an authenticated call
        EmailDomain,   ///< 422 with the code "EMAIL_DOMAIN"
        InvalidRequest ///< the request could not be formed from its data; nothing was sent
    };

    static APIError http(int status, std::optional<QString> message = std::nullopt);
    static APIError network(QString detail);
    static APIError decoding(QString detail);
    static APIError unauthorized();
    static APIError emailDomain();
    static APIError invalidRequest(QString detail);

    Kind kind() const { return m_kind; }
    int status() const { return m_status; }
    const std::optional<QString>& serverMessage() const { return m_message; }
    const QString& detail() const { return m_detail; }

    /// The text the user sees.
    QString userMessage() const;
    const char* what() const noexcept override;

private:
    APIError(Kind kind, int status, std::optional<QString> message, QString detail);

    Kind m_kind;
    int m_status = 0;
    std::optional<QString> m_message;
    QString m_detail;
    QByteArray m_what;
};

} // namespace lumi
