#include "state/AppModel.h"

#include "model/APIClient.h"
#include "model/Clock.h"
#include "state/WindowPresenter.h"

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
        co_await m_api.sharePhoto(std::move(photo), trimBlanks(address), std::move(message));
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

void AppModel::scheduleSurvey()
{
    if (m_surveyAsked || !m_account.user() || !m_account.user()->isSurveyDue(m_clock.now()))
        return;
    // The survey waits for the tour; a later call may offer it.
    if (m_tourStep || m_tourPreparing)
        return;
    m_surveyAsked = true;
    if (m_surveyWait)
        m_surveyWait->cancel();
    m_surveyWait = CancelToken();
    spawn(offerSurvey(*m_surveyWait), false);
}

QCoro::Task<void> AppModel::offerSurvey(CancelToken wait)
{
    const Session session = this->session();
    {
        // Counted while requests are under way, not during the wait after them.
        const Work work(this);
        try {
            co_await m_api.updateSurvey();
            if (session.isCurrent())
                co_await refreshUser();
        } catch (const std::exception& error) {
            if (session.isCurrent())
                handleError(error, true);
        }
    }
    if (!session.isCurrent())
        co_return;
    const bool elapsed = co_await m_clock.sleep(surveyDelay, wait);
    if (!elapsed || !session.isCurrent())
        co_return;
    // Offered once per session: a window out of sight now means no survey until the next one.
    if (session.model->m_window.isMainWindowVisible())
        session.model->setSurveyRequested(true);
}

void AppModel::submitSurvey(QString email, QString score, QString comment)
{
    spawn(submitSurveyAnswers(std::move(email), std::move(score), std::move(comment)));
}

QCoro::Task<void> AppModel::submitSurveyAnswers(QString email, QString score, QString comment)
{
    const Session session = this->session();
    const QJsonObject body{{u"email"_s, trimBlanks(email)}, {u"score"_s, score}, {u"comment"_s, comment}};
    bool sent = false;
    try {
        APIRequest call{u"POST"_s, u"surveys"_s, {}, body, true, {}};
        co_await m_api.send(std::move(call));
        sent = true;
    } catch (const std::exception&) {
        // The notice says it; the answers are not worth an alert.
    }
    if (session.isCurrent())
        emit noticeRaised(sent ? tr("Thank you for your answers.")
                               : tr("Couldn't send the survey. Thank you anyway."));
}

} // namespace lumi
