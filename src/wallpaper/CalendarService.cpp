#include "wallpaper/CalendarService.h"

#include "model/Clock.h"
#include "model/User.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/FailureBackoff.h"

#include <QLocale>
#include <QMutexLocker>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int dailyAttemptCap = 10;
constexpr qint64 retryDelaySeconds = 120;

} // namespace

CalendarService::CalendarService(const Clock& clock, QString language)
    : m_clock(clock), m_language(std::move(language))
{
}

std::optional<CalendarSettings> CalendarService::calendarSettings(const std::optional<User>& user)
{
    return CalendarSettings::fromUser(user);
}

double CalendarService::zoomScale(const QString& size)
{
    if (size == u"small")
        return 0.66;
    if (size == u"large")
        return 1.33;
    if (size == u"xlarge")
        return 1.66;
    if (size == u"xxlarge")
        return 2.0;
    return 1.0;
}

QString CalendarService::calendarLanguage(const QStringList& preferredLanguages)
{
    if (preferredLanguages.isEmpty())
        return u"en"_s;
    const QLocale::Language language = QLocale(preferredLanguages.first()).language();
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return u"en"_s;
    return CalendarRenderer::supportedLanguage(QLocale::languageToCode(language));
}

QString CalendarService::calendarLanguage() const
{
    return m_language.isEmpty() ? calendarLanguage(QLocale::system().uiLanguages()) : m_language;
}

CalendarRequest CalendarService::makeRequest(const CalendarSettings& settings, const QDate& date) const
{
    CalendarRequest request;
    request.theme = settings.theme;
    if (date.isValid()) {
        request.year = date.year();
        request.month = date.month();
        request.day = date.day();
    }
    request.mondayFirst = settings.start == u"monday";
    request.past = CalendarSettings::decimal(settings.past).value_or(0);
    request.future = CalendarSettings::decimal(settings.future).value_or(0);
    request.lang = calendarLanguage();
    return request;
}

QString CalendarService::keyOf(const CalendarSettings& settings, const CalendarRequest& request)
{
    return request.theme + u'/' + QString::number(request.month) + u'-' + QString::number(request.day) +
           u'-' + QString::number(request.year) + u'.' + settings.start + u'.' + settings.past + u'.' +
           settings.future + u'.' + request.lang + u'|' + settings.size + u'|' + settings.position + u'|' +
           QString::number(settings.opacity);
}

QString CalendarService::overlayKey(const CalendarSettings& settings) const
{
    return keyOf(settings, makeRequest(settings, today()));
}

QString CalendarService::wantedKey(const std::optional<CalendarSettings>& settings) const
{
    return settings ? overlayKey(*settings) : u"none"_s;
}

CalendarOverlay CalendarService::makeOverlay(const CalendarSettings& settings) const
{
    CalendarOverlay overlay;
    overlay.request = makeRequest(settings, today());
    overlay.baseSize = CalendarRenderer::imageSize(overlay.request);
    overlay.zoom = zoomScale(settings.size);
    overlay.alpha = settings.opacity / 100.0;
    overlay.isRight = settings.position == u"top_right" || settings.position == u"bottom_right";
    overlay.isBottom = settings.position == u"bottom_left" || settings.position == u"bottom_right";
    overlay.key = keyOf(settings, overlay.request);
    return overlay;
}

std::optional<QString> CalendarService::renderSample(const std::optional<User>& user) const
{
    CalendarSettings sample;
    sample.future = u"1"_s;
    const CalendarRequest request = makeRequest(calendarSettings(user).value_or(sample), today());
    if (!CalendarRenderer::render(request, 1.0))
        return u"render: no bitmap"_s;
    return std::nullopt;
}

QDate CalendarService::today() const
{
    return m_clock.now().toLocalTime().date();
}

bool CalendarService::canAttempt() const
{
    const QMutexLocker lock(&m_mutex);
    // A wait longer than any failure sets comes from a clock set back since, and is over.
    return !FailureBackoff::waitHolds(m_clock.now(), m_nextAttempt);
}

void CalendarService::noteFailure()
{
    const QDateTime now = m_clock.now().toLocalTime();
    const QMutexLocker lock(&m_mutex);
    if (m_attemptDay != now.date()) {
        m_attemptDay = now.date();
        m_attemptsToday = 0;
    }
    ++m_attemptsToday;
    if (m_attemptsToday >= dailyAttemptCap) {
        m_log.info(u"calendar retry cap reached for today, waiting for the next wallpaper change"_s);
        // The next local midnight, also on days that are 23 or 25 hours long.
        m_nextAttempt = now.date().addDays(1).startOfDay();
    } else {
        m_nextAttempt = now.addSecs(retryDelaySeconds);
    }
}

void CalendarService::clearNextAttempt()
{
    const QMutexLocker lock(&m_mutex);
    m_nextAttempt.reset();
}

std::optional<QDateTime> CalendarService::nextAttempt() const
{
    const QMutexLocker lock(&m_mutex);
    return m_nextAttempt;
}

int CalendarService::attemptsToday() const
{
    const QMutexLocker lock(&m_mutex);
    return m_attemptsToday;
}

} // namespace lumi
