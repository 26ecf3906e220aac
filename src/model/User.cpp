#include "model/User.h"

#include "model/InternetDateTime.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QRegularExpression>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

enum class Reading { Text, TextOrNumber };

struct TextField
{
    QStringView key;
    std::optional<QString> User::*member;
    Reading reading;
};

struct FlagField
{
    QStringView key;
    std::optional<bool> User::*member;
};

const std::array<TextField, 25> textFields{{
    {u"uuid", &User::uuid, Reading::Text},
    {u"email", &User::email, Reading::Text},
    {u"first_name", &User::firstName, Reading::Text},
    {u"last_name", &User::lastName, Reading::Text},
    {u"rotate_desktop", &User::rotateDesktop, Reading::Text},
    {u"multi_display_next_paper", &User::multiDisplayNextPaper, Reading::Text},
    {u"fit_desktop", &User::fitDesktop, Reading::Text},
    {u"lumivale_title_size", &User::lumivaleTitleSize, Reading::Text},
    {u"notifications", &User::notifications, Reading::Text},
    {u"show_startup", &User::showStartup, Reading::Text},
    {u"playlists_updated_at", &User::playlistsUpdatedAt, Reading::Text},
    {u"flags", &User::flags, Reading::Text},
    {u"imported_photos_fit", &User::importedPhotosFit, Reading::Text},
    {u"next_survey_at", &User::nextSurveyAt, Reading::Text},
    {u"saver_idle", &User::saverIdle, Reading::Text},
    {u"saver_show", &User::saverShow, Reading::Text},
    {u"saver_pause", &User::saverPause, Reading::TextOrNumber},
    {u"saver_title", &User::saverTitle, Reading::Text},
    {u"calendar_size", &User::calendarSize, Reading::Text},
    {u"calendar_theme", &User::calendarTheme, Reading::Text},
    {u"calendar_position", &User::calendarPosition, Reading::Text},
    {u"calendar_opacity", &User::calendarOpacity, Reading::TextOrNumber},
    {u"calendar_start", &User::calendarStart, Reading::Text},
    {u"calendar_past", &User::calendarPast, Reading::TextOrNumber},
    {u"calendar_future", &User::calendarFuture, Reading::TextOrNumber},
}};

const std::array<FlagField, 3> flagFields{{
    {u"paper_random", &User::paperRandom},
    {u"saver_random", &User::saverRandom},
    {u"saver_fit", &User::saverFit},
}};

} // namespace

std::optional<User> User::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    if (!reader.finish(error))
        return std::nullopt;
    const QJsonObject& object = reader.object();
    User user;
    for (const TextField& field : textFields) {
        user.*field.member = field.reading == Reading::TextOrNumber
                                 ? JsonReader::textOrNumber(object, field.key)
                                 : JsonReader::tolerantString(object, field.key);
    }
    for (const FlagField& field : flagFields)
        user.*field.member = JsonReader::lenientFlag(object, field.key);
    return user;
}

QJsonObject User::toJson() const
{
    QJsonObject object;
    for (const TextField& field : textFields)
        JsonWriter::put(object, field.key.toString(), this->*field.member);
    for (const FlagField& field : flagFields)
        JsonWriter::put(object, field.key.toString(), this->*field.member);
    return object;
}

QStringList User::flagList() const
{
    static const QRegularExpression separators(u"[ |]"_s);
    return flags.value_or(QString()).split(separators, Qt::SkipEmptyParts);
}

bool User::isSurveyDue(const QDateTime& now) const
{
    if (!nextSurveyAt || nextSurveyAt->isEmpty())
        return false;
    const auto due = InternetDateTime::parse(*nextSurveyAt);
    return due && *due < now;
}

QString User::displayName() const
{
    QStringList parts;
    for (const auto& part : {firstName, lastName}) {
        if (part && !part->isEmpty())
            parts.append(*part);
    }
    if (!parts.isEmpty())
        return parts.join(u' ');
    return email.value_or(QString());
}

std::optional<SignInResponse> SignInResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    SignInResponse response{reader.string(u"token"), reader.record<User>(u"user")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

std::optional<RefreshResponse> RefreshResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    RefreshResponse response{reader.optionalString(u"token")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

std::optional<UserResponse> UserResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    UserResponse response{reader.record<User>(u"user")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

std::optional<DeleteAccountResponse> DeleteAccountResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    DeleteAccountResponse response{reader.string(u"status")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

} // namespace lumi
