#include "state/AppModel.h"

#include "library/LocalPhotos.h"
#include "library/PhotoTrash.h"
#include "library/SyncScheduler.h"
#include "model/APIClient.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString productWord = u"lumivale"_s;

} // namespace

bool AppModel::isProductFolder(const QString& folder)
{
    // The resolved path too: a link elsewhere may lead into the photo directory.
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return folder.toLower().contains(productWord) || resolved.toLower().contains(productWord);
}

QString AppModel::productFolderMessage()
{
    return tr("The folder's path can't contain “Lumivale”.");
}

bool AppModel::isStillSignedIn(const Session& session) const
{
    return session.isCurrent() && m_account.isSignedIn();
}

QCoro::Task<void> AppModel::linkFolder(Album album)
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    const std::optional<QString> chosen =
        co_await LocalPhotos::chooseFolder(m_pickers, tr("Choose the folder for “%1”.").arg(album.title));
    if (!chosen || !isStillSignedIn(session))
        co_return;
    const QString folder = QDir::cleanPath(*chosen);
    if (isProductFolder(folder)) {
        setAlert(productFolderMessage());
        co_return;
    }
    try {
        co_await m_api.updateAlbum(album, album.title, folder);
    } catch (const std::exception& error) {
        if (session.isCurrent()) {
            LocalPhotos::unlinkFolder(m_defaults, album.id);
            handleError(error, false);
        }
        co_return;
    }
    if (!session.isCurrent())
        co_return;
    // Only the computer that linked a folder takes the playlist's photos from it.
    LocalPhotos::recordLink(m_defaults, album.id, folder);
    co_await reloadAlbums(true);
    if (session.isCurrent())
        m_sync.requestSync(0ms, true);
}

QCoro::Task<void> AppModel::unlinkFolder(Album album)
{
    const Session session = this->session();
    const bool accepted = co_await sendChange(m_api.updateAlbum(album, album.title, QString()));
    if (!accepted)
        co_return;
    LocalPhotos::unlinkFolder(m_defaults, album.id);
    co_await reloadAlbums(true);
    if (session.isCurrent())
        m_sync.requestSync(0ms, true);
}

QCoro::Task<void> AppModel::importFolders()
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    const std::optional<QString> chosen = co_await LocalPhotos::chooseFolder(
        m_pickers, tr("Each folder inside the one you choose becomes a playlist linked to it."));
    if (!chosen || !isStillSignedIn(session))
        co_return;
    const QString parent = QDir::cleanPath(*chosen);
    if (isProductFolder(parent)) {
        setAlert(productFolderMessage());
        co_return;
    }

    // Real folders only: a link could lead anywhere, the photo directory included. A folder that
    // can't be listed has no subfolders.
    QFileInfoList folders = QDir(parent).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    // The order the file manager shows them in: numbers by value, case ignored.
    std::stable_sort(folders.begin(), folders.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return LocalPhotos::compareNames(a.fileName(), b.fileName()) < 0;
    });

    int imported = 0;
    for (const QFileInfo& folder : std::as_const(folders)) {
        const QString name = filterPlaylistName(folder.fileName()).trimmed();
        if (name.isEmpty())
            continue;
        const QString path = QDir::cleanPath(folder.absoluteFilePath());
        if (isProductFolder(path)) {
            m_log.error(u"import "_s + name + u": "_s + productFolderMessage());
            continue;
        }
        const bool linked = co_await importFolder(path, name);
        if (linked)
            ++imported;
        if (!isStillSignedIn(session))
            co_return;
    }

    co_await reloadAlbums(true);
    if (!session.isCurrent())
        co_return;
    m_sync.requestSync(0ms, true);
    showNotice(imported == 1 ? tr("Imported 1 playlist") : tr("Imported %1 playlists").arg(imported));
}

QCoro::Task<bool> AppModel::importFolder(QString folder, QString name)
{
    const Session session = this->session();
    try {
        const Album created = co_await m_api.createAlbum(name, folder);
        if (!session.isCurrent())
            co_return false;
        LocalPhotos::recordLink(m_defaults, created.id, folder);
        if (created.localPath == folder)
            co_return true;
        co_await m_api.updateAlbum(created, created.title, folder);
        co_return session.isCurrent();
    } catch (const APIError& error) {
        if (!session.isCurrent())
            co_return false;
        // A rejected token fails every folder after it too: sign out instead.
        if (error.kind() == APIError::Kind::Unauthorized) {
            handleError(error, true);
            co_return false;
        }
        m_log.error(u"import "_s + name + u": "_s + error.userMessage());
    } catch (const std::exception& error) {
        m_log.error(u"import "_s + name + u": "_s + QString::fromLocal8Bit(error.what()));
    }
    co_return false;
}

QCoro::Task<void> AppModel::addLocalPhotos(Album album)
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    const QStringList files = co_await LocalPhotos::choosePhotos(m_pickers);
    if (files.isEmpty() || !isStillSignedIn(session))
        co_return;
    const std::optional<QString> folder = m_sync.albumFolder(album);
    if (!folder)
        co_return;
    const int copied = LocalPhotos::importPhotos(files, *folder);
    m_sync.requestSync(0ms, true);
    showNotice(copied == 1 ? tr("Added 1 photo") : tr("Added %1 photos").arg(copied));
}

bool AppModel::removeLocalPhoto(const Medium& photo)
{
    return trashLocalPhoto(photo, m_sync.playlistRoot());
}

bool AppModel::trashLocalPhoto(const Medium& photo, const QString& folder)
{
    if (!photo.localPath || folder.isEmpty())
        return false;
    // The path may come from the server or a drag: only a real photo file that resolves inside
    // the folder may go.
    if (const std::optional<QString> failure =
            PhotoTrash::trashPlaylistPhoto(m_trash, folder, *photo.localPath)) {
        m_log.error(u"remove local photo: "_s + *failure);
        return false;
    }
    m_sync.requestSync(0ms, true);
    return true;
}

} // namespace lumi
