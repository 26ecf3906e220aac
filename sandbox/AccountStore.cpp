#include "AccountStore.h"

#include "AccountSeed.h"
#include "Catalog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

const QString timeFormat = u"yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"_s;

QJsonObject readObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeObject(const QString& path, const QJsonObject& object)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) < 0 || !file.commit())
        qWarning("lumivale-sandbox: cannot write %s", qPrintable(path));
}

} // namespace

AccountStore::AccountStore(const QString& stateDir, const Catalog& catalog)
    : m_dir(stateDir), m_catalog(catalog)
{
}

QString AccountStore::accountFile(const QString& uuid) const
{
    return m_dir + u"/accounts/"_s + uuid + u".json"_s;
}

void AccountStore::loadOrSeed()
{
    const QJsonObject counters = readObject(m_dir + u"/sandbox.json"_s);
    if (counters.isEmpty()) {
        reset();
        return;
    }
    m_nextAlbumId = counters.value(u"next_album_id"_s).toInteger(AccountSeed::firstFreeAlbumId);
    m_accounts.clear();
    const QDir accounts(m_dir + u"/accounts"_s);
    for (const QString& name : accounts.entryList({u"*.json"_s}, QDir::Files, QDir::Name)) {
        SandboxAccount account = SandboxAccount::fromState(readObject(accounts.filePath(name)));
        if (!account.uuid().isEmpty())
            m_accounts.insert_or_assign(account.uuid(), account);
    }
    m_tokens.clear();
    const QJsonObject tokens = readObject(m_dir + u"/tokens.json"_s);
    for (auto it = tokens.begin(); it != tokens.end(); ++it)
        m_tokens.insert(it.key(), it.value().toString());
}

void AccountStore::reset()
{
    QDir(m_dir + u"/accounts"_s).removeRecursively();
    QDir().mkpath(m_dir + u"/accounts"_s);
    m_accounts.clear();
    m_tokens.clear();
    m_nextAlbumId = AccountSeed::firstFreeAlbumId;
    for (const SandboxAccount& account : AccountSeed::seededAccounts(m_catalog))
        add(account);
    saveTokens();
    saveCounters();
}

SandboxAccount* AccountStore::byEmail(const QString& email)
{
    for (auto& [uuid, account] : m_accounts) {
        if (account.email().compare(email, Qt::CaseInsensitive) == 0)
            return &account;
    }
    return nullptr;
}

SandboxAccount* AccountStore::byToken(const QString& token)
{
    const auto it = m_accounts.find(m_tokens.value(token));
    return it == m_accounts.end() ? nullptr : &it->second;
}

QString AccountStore::issueToken(const SandboxAccount& account)
{
    const quint64 high = QRandomGenerator::system()->generate64();
    const quint64 low = QRandomGenerator::system()->generate64();
    const QString token = u"lv_"_s + QString::number(high, 16).rightJustified(16, u'0') +
                          QString::number(low, 16).rightJustified(16, u'0');
    m_tokens.insert(token, account.uuid());
    saveTokens();
    return token;
}

SandboxAccount& AccountStore::add(const SandboxAccount& account)
{
    auto [it, inserted] = m_accounts.insert_or_assign(account.uuid(), account);
    save(it->second);
    return it->second;
}

void AccountStore::remove(const QString& uuid)
{
    m_accounts.erase(uuid);
    QFile::remove(accountFile(uuid));
    m_tokens.removeIf([&uuid](const auto& entry) { return entry.value() == uuid; });
    saveTokens();
}

void AccountStore::save(const SandboxAccount& account)
{
    QDir().mkpath(m_dir + u"/accounts"_s);
    writeObject(accountFile(account.uuid()), account.toState());
}

void AccountStore::playlistsChanged(SandboxAccount& account)
{
    // Two changes within one millisecond must still give two different stamps: the app notices
    // playlist changes only through this text.
    QDateTime stamp = QDateTime::currentDateTimeUtc();
    const QDateTime held =
        QDateTime::fromString(account.user.value(u"playlists_updated_at"_s).toString(), Qt::ISODateWithMs);
    if (held.isValid() && stamp <= held)
        stamp = held.addMSecs(1);
    account.user.insert(u"playlists_updated_at"_s, stamp.toUTC().toString(timeFormat));
    save(account);
}

qint64 AccountStore::takeAlbumId()
{
    const qint64 id = m_nextAlbumId++;
    saveCounters();
    return id;
}

QString AccountStore::timestamp()
{
    return QDateTime::currentDateTimeUtc().toString(timeFormat);
}

void AccountStore::saveTokens() const
{
    QJsonObject tokens;
    for (auto it = m_tokens.begin(); it != m_tokens.end(); ++it)
        tokens.insert(it.key(), it.value());
    writeObject(m_dir + u"/tokens.json"_s, tokens);
}

void AccountStore::saveCounters() const
{
    writeObject(m_dir + u"/sandbox.json"_s, {{u"next_album_id"_s, m_nextAlbumId}});
}

} // namespace lumi::sandbox
