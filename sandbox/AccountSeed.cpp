#include "AccountSeed.h"

#include "Catalog.h"

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

QStringList uuidsWhere(const Catalog& catalog, int count, const auto& accept)
{
    QStringList uuids;
    const QList<CatalogPhoto>& photos = catalog.photos();
    for (qsizetype i = 0; i < photos.size() && uuids.size() < count; ++i) {
        if (accept(int(i), photos[i]))
            uuids.append(photos[i].uuid);
    }
    return uuids;
}

/// The settings every account starts with.
QJsonObject baseUser(const QString& uuid, const QString& email, const QString& firstName,
                     const QString& lastName, const QString& playlistsUpdatedAt)
{
    return QJsonObject{
        {u"uuid"_s, uuid},
        {u"email"_s, email},
        {u"flags"_s, u""_s},
        {u"first_name"_s, firstName},
        {u"last_name"_s, lastName},
        {u"rotate_desktop"_s, u"1hour"_s},
        {u"paper_random"_s, true},
        {u"multi_display_next_paper"_s, u"diff"_s},
        {u"fit_desktop"_s, u"fill"_s},
        {u"lumivale_title_size"_s, u"small"_s},
        {u"notifications"_s, u"all"_s},
        {u"show_startup"_s, u"yes"_s},
        {u"playlists_updated_at"_s, playlistsUpdatedAt},
        {u"saver_idle"_s, u"5minutes"_s},
        {u"saver_show"_s, u"fader"_s},
    };
}

SandboxAccount demoAccount(const Catalog& catalog)
{
    SandboxAccount account;
    account.password = u"lumivale-demo"_s;
    account.user = baseUser(u"d3e1f4a2-5b6c-4d7e-8f90-1a2b3c4d5e6f"_s, u"demo@lumivale.test"_s, u"Ada"_s,
                            u"Demo"_s, u"2025-01-15T09:30:00.000Z"_s);
    const QJsonObject demoSettings{
        {u"imported_photos_fit"_s, u"adapt"_s},
        {u"next_survey_at"_s, u"2099-01-01T00:00:00Z"_s},
        // The service sends this one as a number; the app reads it as its decimal text.
        {u"saver_pause"_s, 2},
        {u"saver_random"_s, true},
        {u"saver_fit"_s, false},
        {u"saver_title"_s, u"small"_s},
        {u"calendar_size"_s, u"medium"_s},
        {u"calendar_theme"_s, u"classic"_s},
        {u"calendar_position"_s, u"top_left"_s},
        {u"calendar_opacity"_s, u"100"_s},
        {u"calendar_start"_s, u"monday"_s},
        {u"calendar_past"_s, u"0"_s},
        {u"calendar_future"_s, u"1"_s},
    };
    for (auto it = demoSettings.begin(); it != demoSettings.end(); ++it)
        account.user.insert(it.key(), it.value());

    SandboxAlbum favorites;
    favorites.id = 101;
    favorites.title = u"Favorites"_s;
    favorites.uuids = uuidsWhere(catalog, 12, [](int i, const CatalogPhoto&) { return i % 19 == 5; });

    // Mountains for the wallpaper rotation.
    SandboxAlbum mornings;
    mornings.id = 102;
    mornings.title = u"Mountain Mornings"_s;
    mornings.includeInPaper = true;
    mornings.uuids = uuidsWhere(catalog, 24, [](int, const CatalogPhoto& p) { return p.category == 1; });

    // A mixed pick for the screen saver; the apostrophe shows how fragments are formed.
    SandboxAlbum picks;
    picks.id = 103;
    picks.title = u"Editor's Picks"_s;
    picks.includeInSaver = true;
    picks.uuids = uuidsWhere(catalog, 20, [](int i, const CatalogPhoto&) { return i % 11 == 2; });

    account.albums = {favorites, mornings, picks};
    account.alerts = QJsonArray{QJsonObject{
        {u"uuid"_s, u"linux-welcome"_s},
        {u"title"_s, u"Welcome to Lumivale for Linux"_s},
        {u"lines"_s, QJsonArray{u"Your wallpaper now changes on every display."_s,
                                u"Mark a playlist for the screen saver to see it when you step away."_s}},
        {u"link"_s, u"https://www.lumivale.com/linux"_s},
        {u"link_title"_s, u"Learn more"_s},
    }};
    return account;
}

// A second, nearly empty account: no playlists at all (not even favorites), a survey that is
// due and the first-run alerts.
SandboxAccount secondAccount()
{
    SandboxAccount account;
    account.password = u"lumivale-second"_s;
    account.user = QJsonObject{
        {u"uuid"_s, u"a7b8c9d0-e1f2-4a3b-9c4d-5e6f7a8b9c0d"_s},
        {u"email"_s, u"second@lumivale.test"_s},
        {u"flags"_s, u""_s},
        {u"first_name"_s, u"Sam"_s},
        {u"last_name"_s, u"Second"_s},
        {u"rotate_desktop"_s, u"never"_s},
        {u"next_survey_at"_s, u"2024-01-01T00:00:00Z"_s},
    };
    account.alerts = AccountSeed::firstRunAlerts();
    return account;
}

} // namespace

QList<SandboxAccount> AccountSeed::seededAccounts(const Catalog& catalog)
{
    return {demoAccount(catalog), secondAccount()};
}

SandboxAccount AccountSeed::newAccount(const QString& uuid, const QString& email, const QString& password,
                                       const QString& firstName, const QString& lastName, const QString& now)
{
    SandboxAccount account;
    account.password = password;
    account.user = baseUser(uuid, email, firstName, lastName, now);
    account.user.insert(u"saver_pause"_s, u"2"_s);
    account.alerts = firstRunAlerts();
    return account;
}

QJsonArray AccountSeed::firstRunAlerts()
{
    return {QJsonObject{{u"uuid"_s, u"onboarding"_s}}, QJsonObject{{u"uuid"_s, u"getting_started"_s}}};
}

} // namespace lumi::sandbox
