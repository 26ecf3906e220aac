#pragma once

#include <QString>
#include <QStringList>

// Every key of the device-local settings store, in one table.
namespace lumi::keys {

using namespace Qt::StringLiterals;

/// A key that carries its value's type and what it reads as when absent or of another type;
/// read and written through `Defaults::get` and `Defaults::set`.
template <typename T> struct Key final
{
    QString name;
    T defaultValue;
};

// Session and login item
inline const QString user = u"user"_s;
inline const QString loginItemConsent = u"login-item-consent"_s;
inline const QString showStartupSeen = u"show-startup-seen"_s;
inline const QString askedLoginItem = u"asked-login-item"_s;

// Photo library
inline const QString dataDir = u"data-dir"_s;
inline const QString syncState = u"sync-state"_s;
inline const QString syncDirty = u"sync-dirty"_s;
inline const QString syncFormat = u"sync-format"_s;
inline const QString syncPlaylistTitles = u"sync-playlist-titles"_s;
inline const QString syncLinkedDownloads = u"sync-linked-downloads"_s;
inline const QString syncLocalLook = u"sync-local-look"_s;
inline const QString syncLocalSources = u"sync-local-sources"_s;
inline const QString noCdn = u"no-cdn"_s;
inline const QString linkedFolderBookmarks = u"linked-folder-bookmarks"_s;

// Rotation
inline const QString nowShowing = u"now-showing"_s;
inline const QString showingByDisplay = u"showing-by-display"_s;
inline const QString lastChange = u"last-change"_s;
inline const QString calendarOnScreen = u"calendar-on-screen"_s;
inline const QString fitOnScreen = u"fit-on-screen"_s;
// Ask which displays get a chosen photo.
inline const Key<bool> showDisplaysDialog{u"show-displays-dialog"_s, true};
// Display identifiers a chosen photo skips.
inline const Key<QStringList> wallpaperDisplaysOff{u"wallpaper-displays-off"_s, {}};

// Views
// The browser grid's column choice as stored text.
inline const Key<QString> gridColumns{u"grid-columns"_s, u"auto"_s};
// The gallery last played as Stories rather than as a slideshow.
inline const Key<bool> galleryInfoShow{u"gallery-info-show"_s, false};
inline const QString mainWindowGeometry = u"main-window-geometry"_s;

// System services
inline const QString crashThrottle = u"crash-throttle"_s;
inline const QString onboardingQueue = u"onboarding-queue"_s;
inline const QString notifiedDay = u"notified-day"_s;
inline const QString installFingerprint = u"install-fingerprint"_s;
inline const QString updateUrl = u"update-url"_s;
inline const QString electronMigrated = u"electron-migrated"_s;
inline const QString electronReplaced = u"electron-replaced"_s;
inline const QString electronTakeoverTries = u"electron-takeover-tries"_s;
inline const QString desktopReplacedPending = u"desktop-replaced-pending"_s;
inline const QString leftoversTrashed = u"leftovers-trashed"_s;
inline const QString linkedDownloads = u"linked-downloads"_s;
inline const QString electronLinkedDownloads = u"electron-linked-downloads"_s;
// The interface language carried over from the older app, first entry wins; applied at start.
inline const Key<QStringList> appleLanguages{u"AppleLanguages"_s, {}};

} // namespace lumi::keys
