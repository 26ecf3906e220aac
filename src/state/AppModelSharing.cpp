#include "state/AppModel.h"

#include "model/APIClient.h"
#include "model/Blanks.h"

using namespace Qt::StringLiterals;

namespace lumi {

QString AppModel::emailFailureMessage()
{
    return tr("Couldn't send the photo. Check the address and your internet connection, then try again.");
}

QCoro::Task<std::optional<QString>> AppModel::emailPhoto(Medium photo, QString address, QString message)
{
    const Session session = this->session();
    try {
        co_await m_api.sharePhoto(std::move(photo), Blanks::trimmed(address), std::move(message));
        co_return std::nullopt;
    } catch (const APIError& error) {
        if (error.kind() == APIError::Kind::Http && error.status() >= 400 && error.status() <= 499 &&
            !error.serverMessage().value_or(QString()).isEmpty())
            co_return *error.serverMessage();
        if (error.kind() == APIError::Kind::Unauthorized && session.isCurrent())
            handleError(error, false);
    } catch (const std::exception&) {
    }
    co_return emailFailureMessage();
}

} // namespace lumi
