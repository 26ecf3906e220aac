#pragma once

#include "SandboxAccount.h"

#include <QList>

namespace lumi::sandbox {

class Catalog;

// The fixed accounts a fresh state starts with, and the shape of an account created through the
// API. Ids and contents never change, so tests and the demo can rely on them.
class AccountSeed final
{
public:
    static constexpr qint64 firstFreeAlbumId = 200;

    static QList<SandboxAccount> seededAccounts(const Catalog& catalog);
    static SandboxAccount newAccount(const QString& uuid, const QString& email, const QString& password,
                                     const QString& firstName, const QString& lastName, const QString& now);
    // The alerts a new account sees first: the onboarding, then the tour.
    static QJsonArray firstRunAlerts();
};

} // namespace lumi::sandbox
