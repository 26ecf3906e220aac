#pragma once

#include "SandboxAccount.h"

#include <QHash>
#include <QString>

#include <map>

namespace lumi::sandbox {

class Catalog;

// The per-user state of the service, kept as JSON files in the state folder: one file per
// account under "accounts/", the issued tokens in "tokens.json" and the id counter in
// "sandbox.json". Every change is written at once (atomically), so a restart on the same folder
// continues where the last run stopped; a fresh folder starts from the seeded accounts.
class AccountStore final
{
public:
    AccountStore(const QString& stateDir, const Catalog& catalog);

    void loadOrSeed();
    // Back to the seeded accounts; every issued token is forgotten.
    void reset();

    SandboxAccount* byEmail(const QString& email);
    SandboxAccount* byToken(const QString& token);

    QString issueToken(const SandboxAccount& account);
    SandboxAccount& add(const SandboxAccount& account);
    void remove(const QString& uuid);
    void save(const SandboxAccount& account);
    // Stamps the account's playlists_updated_at with a time later than the one it held, then saves.
    void playlistsChanged(SandboxAccount& account);
    qint64 takeAlbumId();

    // Now as RFC 3339 UTC text with milliseconds.
    static QString timestamp();

private:
    void saveTokens() const;
    void saveCounters() const;
    QString accountFile(const QString& uuid) const;

    QString m_dir;
    const Catalog& m_catalog;
    std::map<QString, SandboxAccount> m_accounts; // by user uuid; node-based, so pointers stay valid
    QHash<QString, QString> m_tokens;             // token -> user uuid
    qint64 m_nextAlbumId = 0;
};

} // namespace lumi::sandbox
