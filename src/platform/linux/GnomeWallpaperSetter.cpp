#include "platform/linux/GnomeWallpaperSetter.h"

#include "imaging/ImagingThread.h"
#include "model/AppLog.h"
#include "platform/Screens.h"
#include "platform/linux/SpannedWallpaper.h"

#include <QCoroFuture>
#include <QCoroProcess>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QtConcurrent>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString schema = u"org.gnome.desktop.background"_s;

struct ToolResult
{
    QString error;
    QByteArray output;
};

QCoro::Task<ToolResult> gsettings(QStringList arguments)
{
    const QString command = u"gsettings "_s + arguments.join(u' ');
    // A program that cannot start is only noticed after the start timeout: look for it first.
    const QString program = QStandardPaths::findExecutable(u"gsettings"_s);
    if (program.isEmpty())
        co_return ToolResult{u"cannot run gsettings: it is not installed"_s, {}};
    QProcess process;
    const bool started = co_await qCoro(process).start(program, arguments, QIODevice::ReadOnly, 5s);
    if (!started)
        co_return ToolResult{u"cannot run gsettings: %1"_s.arg(process.errorString()), {}};
    const bool finished = co_await qCoro(process).waitForFinished(10s);
    if (!finished && process.state() != QProcess::NotRunning) {
        process.kill();
        co_await qCoro(process).waitForFinished(2s);
        co_return ToolResult{u"%1 did not finish"_s.arg(command), {}};
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString reason = errors.isEmpty() ? u"exit status %1"_s.arg(process.exitCode()) : errors;
        co_return ToolResult{u"%1 failed: %2"_s.arg(command, reason), {}};
    }
    // Without a settings service GLib falls back to memory and every write is lost at exit.
    if (errors.contains(u"'memory' GSettings backend"_s))
        co_return ToolResult{u"%1: the desktop settings are not stored (%2)"_s.arg(command, errors), {}};
    co_return ToolResult{{}, process.readAllStandardOutput()};
}

// GVariant text of a string that holds no quote or backslash.
QString quoted(const QString& text)
{
    return u'\'' + text + u'\'';
}

QString fileUri(const QString& path)
{
    QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    // A quote is legal in a URI but would end the GVariant string.
    uri.replace(u'\'', u"%27"_s);
    return uri;
}

// A fresh name for every spanned picture: the desktop caches pictures by name.
QString nextSpannedPath(const QString& nextTo)
{
    const QString folder = QFileInfo(nextTo).absolutePath() + u"/Spanned"_s;
    if (!QDir().mkpath(folder))
        return {};
    const QString stem = folder + u"/spanned-"_s + QString::number(QDateTime::currentMSecsSinceEpoch());
    QString path = stem + u".jpg"_s;
    for (int n = 1; QFileInfo::exists(path); ++n)
        path = stem + u'-' + QString::number(n) + u".jpg"_s;
    return path;
}

} // namespace

GnomeWallpaperSetter::GnomeWallpaperSetter(const Screens& screens, QString stateFile)
    : m_screens(screens), m_stateFile(std::move(stateFile))
{
    loadState();
}

void GnomeWallpaperSetter::loadState()
{
    QFile file(m_stateFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject pictures = state.value(u"pictures"_s).toObject();
    for (auto it = pictures.begin(); it != pictures.end(); ++it) {
        if (it.value().isString())
            m_pictures.insert(it.key(), it.value().toString());
    }
    m_spanned = state.value(u"spanned"_s).toString();
    m_previousSpanned = state.value(u"previousSpanned"_s).toString();
}

void GnomeWallpaperSetter::saveState() const
{
    QJsonObject pictures;
    for (auto it = m_pictures.begin(); it != m_pictures.end(); ++it)
        pictures.insert(it.key(), it.value());
    const QJsonObject state{
        {u"pictures"_s, pictures}, {u"spanned"_s, m_spanned}, {u"previousSpanned"_s, m_previousSpanned}};
    QDir().mkpath(QFileInfo(m_stateFile).absolutePath());
    // Whole or not at all: a cut-short write must not lose the other displays' pictures.
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(state).toJson()) < 0 || !file.commit())
        AppLog(u"wallpaper"_s)
            .error(u"cannot store the displays' pictures in %1: %2"_s.arg(m_stateFile, file.errorString()));
}

void GnomeWallpaperSetter::pruneSpanned(const QString& folder) const
{
    const QFileInfoList pictures = QDir(folder).entryInfoList({u"spanned-*.jpg"_s}, QDir::Files);
    for (const QFileInfo& picture : pictures) {
        const QString path = picture.absoluteFilePath();
        if (path != m_spanned && path != m_previousSpanned)
            QFile::remove(path);
    }
}

QString GnomeWallpaperSetter::name() const
{
    return u"GNOME settings"_s;
}

QStringList GnomeWallpaperSetter::filesInUse() const
{
    QStringList files = m_pictures.values();
    for (const QString& spanned : {m_spanned, m_previousSpanned}) {
        if (!spanned.isEmpty())
            files.append(spanned);
    }
    return files;
}

QCoro::Task<QString> GnomeWallpaperSetter::checkSchema()
{
    if (m_hasDarkKey)
        co_return QString();
    const QStringList arguments{u"list-keys"_s, schema};
    const ToolResult keys = co_await gsettings(arguments);
    if (!keys.error.isEmpty())
        co_return keys.error;
    // GNOME before 42 has no dark-style picture.
    const QList<QByteArray> lines = keys.output.split('\n');
    m_hasDarkKey = std::any_of(lines.begin(), lines.end(),
                               [](const QByteArray& line) { return line.trimmed() == "picture-uri-dark"; });
    co_return QString();
}

class GnomeWallpaperSetter::Turn final
{
public:
    explicit Turn(GnomeWallpaperSetter& setter) : m_setter(setter) { setter.m_turn = CancelToken(); }
    ~Turn()
    {
        const CancelToken turn = *m_setter.m_turn;
        m_setter.m_turn.reset();
        turn.cancel();
    }
    Q_DISABLE_COPY_MOVE(Turn)

private:
    GnomeWallpaperSetter& m_setter;
};

QCoro::Task<WallpaperSetResult> GnomeWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    QList<WallpaperRequest> requests;
    requests.append(std::move(request));
    // Named first: GCC 12 mishandles a braced list inside a co_await expression.
    QCoro::Task<QList<WallpaperSetResult>> setting = setWallpapers(std::move(requests));
    const QList<WallpaperSetResult> results = co_await std::move(setting);
    co_return results.constFirst();
}

QCoro::Task<QList<WallpaperSetResult>> GnomeWallpaperSetter::setWallpapers(QList<WallpaperRequest> requests)
{
    // A change still running decides what the other displays show: this one starts from there.
    while (m_turn)
        co_await CancelToken::untilCancelled(*m_turn);
    const Turn turn(*this);

    QList<WallpaperSetResult> results;
    QList<WallpaperRequest> present;
    for (WallpaperRequest& request : requests) {
        if (QFileInfo(request.file).isFile()) {
            results.append(WallpaperSetResult::success());
            present.append(std::move(request));
        } else {
            results.append(WallpaperSetResult::failure(u"the picture %1 does not exist"_s.arg(request.file)));
        }
    }
    if (present.isEmpty())
        co_return results;
    const QString failure = co_await apply(std::move(present));
    if (!failure.isEmpty()) {
        for (WallpaperSetResult& result : results) {
            if (result.ok())
                result = WallpaperSetResult::failure(failure);
        }
    }
    co_return results;
}

QCoro::Task<QString> GnomeWallpaperSetter::apply(QList<WallpaperRequest> requests)
{
    if (const QString error = co_await checkSchema(); !error.isEmpty())
        co_return error;

    // The displays' pictures after this change: its own, and the last of every other display.
    QList<DisplayInfo> displays = m_screens.displays();
    QHash<QString, QString> pictures = m_pictures;
    for (const WallpaperRequest& request : std::as_const(requests)) {
        const auto same = std::find_if(displays.begin(), displays.end(), [&](const DisplayInfo& display) {
            return display.name == request.display.name;
        });
        if (same == displays.end())
            displays.append(request.display);
        else
            *same = request.display;
        pictures.insert(request.display.name, request.file);
    }

    const QString& first = requests.constFirst().file;
    QString picture = first;
    QString options = u"zoom"_s;
    QString spanned;
    if (displays.size() > 1) {
        QHash<QString, QString> shown;
        for (const DisplayInfo& display : std::as_const(displays)) {
            const QString file = pictures.value(display.name);
            if (!file.isEmpty() && QFileInfo::exists(file))
                shown.insert(display.name, file);
        }
        spanned = nextSpannedPath(first);
        if (spanned.isEmpty())
            co_return u"cannot create a folder next to %1"_s.arg(first);
        // Written whole under its own name before the settings name it.
        QFuture<QString> writing =
            QtConcurrent::run(&ImagingThread::pool(), &SpannedWallpaper::write, displays, shown, spanned);
        const QString error = co_await writing;
        if (!error.isEmpty())
            co_return u"cannot join the displays' pictures: "_s + error;
        picture = spanned;
        options = u"spanned"_s;
    }

    const QString uri = quoted(fileUri(picture));
    // One key at a time: settings backends without a service (a key file) lose concurrent writes.
    QList<QStringList> writes;
    if (options != m_options)
        writes.append({u"set"_s, schema, u"picture-options"_s, quoted(options)});
    writes.append({u"set"_s, schema, u"picture-uri"_s, uri});
    if (*m_hasDarkKey)
        writes.append({u"set"_s, schema, u"picture-uri-dark"_s, uri});
    QString failure;
    for (const QStringList& write : std::as_const(writes)) {
        const ToolResult result = co_await gsettings(write);
        failure = result.error;
        if (!failure.isEmpty())
            break;
    }
    if (failure.isEmpty() && !m_verified) {
        // Read back once: a write that went nowhere still exits 0.
        const QStringList arguments{u"get"_s, schema, u"picture-uri"_s};
        const ToolResult stored = co_await gsettings(arguments);
        if (!stored.error.isEmpty())
            failure = stored.error;
        else if (QString::fromUtf8(stored.output).trimmed() != uri)
            failure = u"the desktop did not keep the picture (it reads back %1)"_s.arg(
                QString::fromUtf8(stored.output).trimmed());
        m_verified = failure.isEmpty();
    }
    if (!failure.isEmpty()) {
        if (!spanned.isEmpty())
            QFile::remove(spanned);
        m_options.clear(); // unknown now: set it again next time
        co_return failure;
    }

    m_options = options;
    for (const WallpaperRequest& request : std::as_const(requests))
        m_pictures.insert(request.display.name, request.file);
    // Keep the spanned picture shown and the one before it (the desktop may still be loading it);
    // older ones, left by earlier runs too, go.
    m_previousSpanned = m_spanned;
    m_spanned = spanned;
    saveState();
    if (!spanned.isEmpty())
        pruneSpanned(QFileInfo(spanned).absolutePath());
    co_return QString();
}

} // namespace lumi
