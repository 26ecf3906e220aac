#pragma once

#include "model/AppLog.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

namespace lumi {

class Defaults;
class Pickers;
class ProcessControl;
class SyncPause;
class Trash;

/// Where the photo directory lies (the base of the "Lumivale" and "Lumivale Playlist" folders),
/// and moving it to a folder the user picks. The sync reads the directory once, so a move ends
/// with a relaunch.
class DataDirectory final
{
    Q_DECLARE_TR_FUNCTIONS(DataDirectory)

public:
    /// Why a move was refused or failed; each reason has its user-facing text.
    class ChangeError final : public std::exception
    {
    public:
        enum class Kind { copy, same, cloud, notWritable, inside };

        explicit ChangeError(Kind kind, QString detail = {});
        Kind kind() const { return m_kind; }
        /// The copy failure's own description, for `copy`.
        const QString& detail() const { return m_detail; }
        QString message() const;
        const char* what() const noexcept override { return m_what.constData(); }

    private:
        Kind m_kind;
        QString m_detail;
        QByteArray m_what;
    };

    /// The collaborators must outlive this object.
    DataDirectory(Defaults& defaults, Pickers& pickers, Trash& trash, ProcessControl& processes);

    static const AppLog& log();

    /// "data-dir" when it is writable (logged when not), else Documents when it is writable and
    /// not cloud-synced, else the application data folder. Evaluated anew on every call.
    static QString current(const Defaults& defaults);
    QString current() const { return current(m_defaults); }
    /// Creates the folder when it can, then writes and removes a probe file.
    static bool isWritable(const QString& folder);
    /// The path names a cloud-synced place (OneDrive, Dropbox, Google Drive and the like).
    static bool isCloudSynced(const QString& folder);
    /// folder/"Lumivale" or folder/"Lumivale Playlist" is there.
    static bool hasPhotoFolders(const QString& folder);
    /// Copies the two photo folders that exist in from into to (hard links between copied files
    /// stay links; symbolic links are copied as links). None on success, else the failure's
    /// description. Safe off the main thread.
    static std::optional<QString> copyPhotoFolders(const QString& from, const QString& to);

    /// The folder dialog, opened at the current directory; none when cancelled.
    QCoro::Task<std::optional<QString>> choose();
    /// Moves the photo directory to newFolder: the refusals in order (same, inside, cloud, not
    /// writable), then, with the sync paused, the copy unless the new folder already holds photo
    /// folders, then "data-dir". Throws ChangeError. sync may be null; it must outlive the call.
    /// After success the sync stays paused until the relaunch.
    QCoro::Task<void> change(QString newFolder, SyncPause* sync);
    /// Moves the two photo folders of a former photo directory to the trash; never the current
    /// photo directory or anything holding it.
    void trashOldFolders(const QString& oldFolder);
    /// Starts a shell that waits for this process to end and starts the app again, then quits.
    void relaunch();
    /// The relaunch helper's arguments for "/bin/sh".
    static QStringList relaunchArguments(qint64 processId, const QString& executable);

private:
    Defaults& m_defaults;
    Pickers& m_pickers;
    Trash& m_trash;
    ProcessControl& m_processes;
};

} // namespace lumi
