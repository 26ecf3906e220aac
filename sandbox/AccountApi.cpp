#include "AccountApi.h"

#include "AccountSeed.h"
#include "AccountStore.h"
#include "ApiCall.h"
#include "Catalog.h"

#include <QDateTime>
#include <QJsonArray>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

// The code every reset request gets; there is no mail to read it from.
const QString resetCode = u"123456"_s;
constexpr qsizetype minimumPassword = 6;

// Keys of the device record that PUT "users" carries along with settings; kept apart from the
// User record, which the app decodes.
bool isDeviceKey(const QString& key)
{
    return key.startsWith(u"desktop_"_s) || key == u"os_uuid" || key == u"fingerprint";
}

bool isServerOwnedKey(const QString& key)
{
    return key == u"uuid" || key == u"email" || key == u"playlists_updated_at";
}

bool plausibleEmail(const QString& email)
{
    const qsizetype at = email.indexOf(u'@');
    return at > 0 && at == email.lastIndexOf(u'@') && email.indexOf(u'.', at) > at + 1 &&
           !email.endsWith(u'.') && !email.contains(u' ');
}

HttpResponse signInAnswer(AccountStore& store, const SandboxAccount& account)
{
    return HttpResponse::json(
        QJsonObject{{u"token"_s, store.issueToken(account)}, {u"user"_s, account.user}});
}

} // namespace

AccountApi::AccountApi(AccountStore& store, const Catalog& catalog) : m_store(store), m_catalog(catalog) {}

std::optional<HttpResponse> AccountApi::handle(ApiCall& call)
{
    const QString head = call.segments.value(0);
    if (call.is("POST", {u"tokens"_s}))
        return signIn(call);
    if (call.is("POST", {u"tokens"_s, u"refresh_token"_s}))
        return refreshToken(call);
    if (head == u"passwords")
        return passwords(call);
    if (head == u"users")
        return users(call);
    if (head == u"alerts")
        return alerts(call);
    if (call.is("POST", {u"shares"_s}))
        return share(call);
    if (call.is("POST", {u"surveys"_s}))
        return call.account ? ApiCall::ok() : ApiCall::unauthorized();
    // Telemetry is accepted with or without a session: crash reports go out signed out too.
    for (const QString& path : {u"events"_s, u"crashes"_s, u"info"_s, u"rlogger"_s}) {
        if (call.is("POST", {path}))
            return ApiCall::ok();
    }
    return std::nullopt;
}

HttpResponse AccountApi::signIn(const ApiCall& call)
{
    const QString email = call.bodyText(u"email"_s);
    const QString password = call.bodyText(u"password"_s);
    if (email.isEmpty() || password.isEmpty())
        return ApiCall::invalid(u"Please enter your e-mail address and password."_s);
    const SandboxAccount* account = m_store.byEmail(email);
    if (!account || account->password != password)
        return HttpResponse::error(401, u"The e-mail address or password is not correct."_s);
    return signInAnswer(m_store, *account);
}

HttpResponse AccountApi::refreshToken(const ApiCall& call)
{
    if (!call.account)
        return ApiCall::unauthorized();
    // The old token stays valid: requests already under way must not fail.
    return HttpResponse::json(QJsonObject{{u"token"_s, m_store.issueToken(*call.account)}});
}

std::optional<HttpResponse> AccountApi::passwords(const ApiCall& call)
{
    if (call.is("PUT", {u"passwords"_s, u"change"_s})) {
        if (!call.account)
            return ApiCall::unauthorized();
        const QString password = call.bodyText(u"password"_s);
        if (password.size() < minimumPassword)
            return ApiCall::invalid(u"Passwords need at least 6 characters."_s, u"PASSWORD_SHORT"_s);
        call.account->password = password;
        m_store.save(*call.account);
        return ApiCall::ok(u"updated"_s);
    }
    if (call.method != "POST" || call.segments.size() != 2)
        return std::nullopt;

    const QString step = call.segments[1];
    SandboxAccount* account = m_store.byEmail(call.bodyText(u"email"_s));
    if (step == u"reset") {
        if (!account)
            return ApiCall::notFound(u"There is no account with that e-mail address."_s);
        account->resetCode = resetCode;
        m_store.save(*account);
        return ApiCall::ok(u"sent"_s);
    }
    if (step != u"validate_code" && step != u"set_password")
        return std::nullopt;
    if (!account || account->resetCode.isEmpty() || call.bodyText(u"code"_s) != account->resetCode)
        return ApiCall::invalid(u"That code is not valid or has expired."_s, u"INVALID_CODE"_s);
    if (step == u"validate_code")
        return ApiCall::ok(u"valid"_s);
    const QString password = call.bodyText(u"password"_s);
    if (password.size() < minimumPassword)
        return ApiCall::invalid(u"Passwords need at least 6 characters."_s, u"PASSWORD_SHORT"_s);
    account->password = password;
    account->resetCode.clear();
    m_store.save(*account);
    return ApiCall::ok(u"updated"_s);
}

std::optional<HttpResponse> AccountApi::users(ApiCall& call)
{
    if (call.is("POST", {u"users"_s}))
        return createUser(call);
    const bool known =
        call.segments == QStringList{u"users"_s} || call.is("POST", {u"users"_s, u"update_survey"_s});
    if (!known)
        return std::nullopt;
    if (!call.account)
        return ApiCall::unauthorized();
    if (call.method == "GET")
        return HttpResponse::json(QJsonObject{{u"user"_s, call.account->user}});
    if (call.method == "PUT")
        return updateUser(call);
    if (call.method == "DELETE") {
        m_store.remove(call.account->uuid());
        call.account = nullptr;
        return ApiCall::ok(u"Your account has been deleted."_s);
    }
    if (call.segments.size() == 2) {
        const QDateTime next = QDateTime::currentDateTimeUtc().addDays(90);
        call.account->user.insert(u"next_survey_at"_s, next.toString(Qt::ISODate));
        m_store.save(*call.account);
        return HttpResponse::json(QJsonObject{{u"user"_s, call.account->user}});
    }
    return std::nullopt;
}

HttpResponse AccountApi::createUser(const ApiCall& call)
{
    const QJsonObject fields = call.body.value(u"user"_s).toObject();
    const QString email = fields.value(u"email"_s).toString();
    const QString password = fields.value(u"password"_s).toString();
    const QString firstName = fields.value(u"first_name"_s).toString();
    const QString lastName = fields.value(u"last_name"_s).toString();
    if (email.isEmpty() || password.isEmpty() || firstName.isEmpty() || lastName.isEmpty())
        return ApiCall::invalid(u"Please fill in your name, e-mail address and password."_s);
    if (!plausibleEmail(email))
        return ApiCall::invalid(u"Please enter a valid e-mail address."_s, u"EMAIL_INVALID"_s);
    const QString domain = email.mid(email.indexOf(u'@') + 1).toLower();
    if (domain == u"invalid.test" || domain.endsWith(u".invalid.test"))
        return ApiCall::invalid(u"Mail can't be delivered to that domain."_s, u"EMAIL_DOMAIN"_s);
    if (m_store.byEmail(email))
        return ApiCall::invalid(u"There is already an account with that e-mail address."_s, u"EMAIL_TAKEN"_s);
    if (password.size() < minimumPassword)
        return ApiCall::invalid(u"Passwords need at least 6 characters."_s, u"PASSWORD_SHORT"_s);

    SandboxAccount account =
        AccountSeed::newAccount(QUuid::createUuid().toString(QUuid::WithoutBraces), email, password,
                                firstName, lastName, AccountStore::timestamp());
    for (auto it = call.body.begin(); it != call.body.end(); ++it) {
        if (isDeviceKey(it.key()) || it.key() == u"app")
            account.device.insert(it.key(), it.value());
    }
    SandboxAlbum favorites;
    favorites.id = m_store.takeAlbumId();
    favorites.title = u"Favorites"_s;
    account.albums.append(favorites);
    if (call.body.value(u"create_sampler"_s).toBool()) {
        SandboxAlbum sampler;
        sampler.id = m_store.takeAlbumId();
        sampler.title = u"Sampler"_s;
        sampler.includeInPaper = true;
        sampler.includeInSaver = true;
        for (const int index : m_catalog.listing(u"classic/latest"_s).value_or(QList<int>()).mid(0, 10))
            sampler.uuids.append(m_catalog.photos()[index].uuid);
        account.albums.append(sampler);
    }
    return signInAnswer(m_store, m_store.add(account));
}

HttpResponse AccountApi::updateUser(ApiCall& call)
{
    const QJsonValue fields = call.body.value(u"user"_s);
    if (!fields.isObject())
        return ApiCall::invalid(u"The request needs a \"user\" object."_s);
    const QJsonObject changes = fields.toObject();
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (isDeviceKey(it.key()))
            call.account->device.insert(it.key(), it.value());
        else if (isServerOwnedKey(it.key()))
            continue;
        else if (it.value().isNull())
            call.account->user.remove(it.key());
        else
            call.account->user.insert(it.key(), it.value());
    }
    m_store.save(*call.account);
    return HttpResponse::json(QJsonObject{{u"user"_s, call.account->user}});
}

std::optional<HttpResponse> AccountApi::alerts(ApiCall& call)
{
    if (call.segments.size() != 1 || (call.method != "GET" && call.method != "POST"))
        return std::nullopt;
    if (!call.account)
        return ApiCall::unauthorized();
    QJsonArray& queue = call.account->alerts;
    if (call.method == "GET") {
        QJsonObject answer;
        if (!queue.isEmpty())
            answer.insert(u"linux"_s, queue.first());
        return HttpResponse::json(answer);
    }
    // Acknowledging hands the current alert in; the next one in the queue becomes current.
    if (!queue.isEmpty())
        queue.removeFirst();
    m_store.save(*call.account);
    return ApiCall::ok();
}

HttpResponse AccountApi::share(const ApiCall& call)
{
    if (!call.account)
        return ApiCall::unauthorized();
    if (!m_catalog.photo(call.bodyText(u"muuid"_s)))
        return ApiCall::notFound(u"That photo does not exist."_s);
    if (!plausibleEmail(call.bodyText(u"email"_s).trimmed()))
        return ApiCall::invalid(u"Please enter a valid e-mail address."_s, u"EMAIL_INVALID"_s);
    return ApiCall::ok(u"sent"_s);
}

} // namespace lumi::sandbox
