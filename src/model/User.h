#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

// The signed-in account and every setting the service keeps for it. Read tolerantly: a value of
// the wrong type is absent rather than a failure, since older servers and clients wrote settings
// in several shapes. Settings stay the texts the server sends; the setting enumerations interpret them.
struct User final
{
    std::optional<QString> uuid{};
    std::optional<QString> email{};
    std::optional<QString> firstName{};
    std::optional<QString> lastName{};
    std::optional<QString> rotateDesktop{};
    std::optional<bool> paperRandom{};
    std::optional<QString> multiDisplayNextPaper{};
    std::optional<QString> fitDesktop{};
    std::optional<QString> lumivaleTitleSize{};
    std::optional<QString> notifications{};
    std::optional<QString> showStartup{};
    std::optional<QString> playlistsUpdatedAt{};
    std::optional<QString> flags{};
    std::optional<QString> importedPhotosFit{};
    std::optional<QString> nextSurveyAt{};
    std::optional<QString> saverIdle{};
    std::optional<QString> saverShow{};
    std::optional<QString> saverPause{};
    std::optional<bool> saverRandom{};
    std::optional<bool> saverFit{};
    std::optional<QString> saverTitle{};
    std::optional<QString> calendarSize{};
    std::optional<QString> calendarTheme{};
    std::optional<QString> calendarPosition{};
    std::optional<QString> calendarOpacity{};
    std::optional<QString> calendarStart{};
    std::optional<QString> calendarPast{};
    std::optional<QString> calendarFuture{};

    // Fails only when the value is not a JSON object.
    static std::optional<User> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // The words of `flags`, split at blanks and "|".
    QStringList flagList() const;
    // Whether `nextSurveyAt` names a moment strictly before `now`; false when it is absent or no date.
    bool isSurveyDue(const QDateTime& now) const;
    // First and last name (the non-empty ones), else the e-mail, else empty.
    QString displayName() const;

    bool operator==(const User&) const = default;
};

// Answer of sign-in and account creation.
struct SignInResponse final
{
    QString token{};
    User user{};

    static std::optional<SignInResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const SignInResponse&) const = default;
};

// Answer of the token refresh.
struct RefreshResponse final
{
    std::optional<QString> token{};

    static std::optional<RefreshResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const RefreshResponse&) const = default;
};

// Answer of reading and updating the user.
struct UserResponse final
{
    User user{};

    static std::optional<UserResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const UserResponse&) const = default;
};

// Answer of the account deletion.
struct DeleteAccountResponse final
{
    QString status{};

    static std::optional<DeleteAccountResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const DeleteAccountResponse&) const = default;
};

} // namespace lumi
