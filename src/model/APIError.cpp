#include "model/APIError.h"

#include <QCoreApplication>

namespace lumi {

APIError::APIError(Kind kind, int status, std::optional<QString> message, QString detail)
    : m_kind(kind), m_status(status), m_message(std::move(message)), m_detail(std::move(detail))
{
    m_what = userMessage().toUtf8();
}

APIError APIError::http(int status, std::optional<QString> message)
{
    return {Kind::Http, status, std::move(message), {}};
}
APIError APIError::network(QString detail)
{
    return {Kind::Network, 0, std::nullopt, std::move(detail)};
}
APIError APIError::decoding(QString detail)
{
    return {Kind::Decoding, 0, std::nullopt, std::move(detail)};
}
APIError APIError::unauthorized()
{
    return {Kind::Unauthorized, 401, std::nullopt, {}};
}
APIError APIError::emailDomain()
{
    return {Kind::EmailDomain, 422, std::nullopt, {}};
}
APIError APIError::invalidRequest(QString detail)
{
    return {Kind::InvalidRequest, 0, std::nullopt, std::move(detail)};
}

QString APIError::userMessage() const
{
    switch (m_kind) {
    case Kind::Http:
        if (m_message && !m_message->isEmpty())
            return *m_message;
        return QCoreApplication::translate("APIError", "The Lumivale server answered with an error (%1).")
            .arg(m_status);
    case Kind::Network:
        return QCoreApplication::translate("APIError",
                                           "Can't reach Lumivale. Check your internet connection.");
    case Kind::Decoding:
        return QCoreApplication::translate("APIError", "Lumivale sent a response this version can't read.");
    case Kind::Unauthorized:
        return QCoreApplication::translate("APIError", "Your session has ended. Please sign in again.");
    case Kind::EmailDomain:
        return QCoreApplication::translate(
            "APIError", "Please check your email address. Mail can't be delivered to that domain.");
    case Kind::InvalidRequest:
        return QCoreApplication::translate("APIError", "This request can't be sent to Lumivale.");
    }
    return {};
}

const char* APIError::what() const noexcept
{
    return m_what.constData();
}

} // namespace lumi
