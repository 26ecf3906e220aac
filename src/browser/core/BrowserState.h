#pragma once

#include "browser/core/BrowseMode.h"
#include "browser/core/GridColumns.h"
#include "browser/core/Source.h"
#include "model/Album.h"
#include "model/CancelToken.h"
#include "model/Medium.h"
#include "model/PlayMode.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QList>
#include <QObject>

#include <optional>

namespace lumi {

class AppModel;
class CatalogPages;
class Guidance;
class Clock;
class Defaults;
class EventSink;
class SaverLauncher;
class WindowPresenter;

/// What the catalog browser shows and how it moves between sources: the selection and the mode,
/// the last source of each mode, the search text, the grid's photos and column setting, and the
/// browser's reactions to the guidance's navigation requests, tour and onboarding. Holds no
/// widget, so every rule runs in tests without pixels. Main thread only.
class BrowserState final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserState)

public:
    /// How long the browser waits before it offers the onboarding or the tour.
    static constexpr std::chrono::seconds alertDelay{3};

    /// Made by the browser (or a test), each alive for longer than the state.
    struct Services
    {
        AppModel& model;
        CatalogPages& catalog;
        /// The navigation requests, the tour and the onboarding the browser reacts to.
        Guidance& guidance;
        /// Play starts the gallery through it.
        SaverLauncher& saver;
        Defaults& defaults;
        EventSink& events;
        Clock& clock;
        WindowPresenter& window;
    };

    /// Runs the pending today and place requests at once, and from then on each new one.
    explicit BrowserState(Services services, QObject* parent = nullptr);
    ~BrowserState() override;

    const std::optional<Source>& selection() const { return m_selection; }
    /// A different source resets the selected photo, sets the mode that shows it, remembers it
    /// and queues its event; an equal one changes nothing.
    void setSelection(std::optional<Source> selection);
    BrowseMode mode() const { return m_mode; }
    /// Shows the last source of the mode; the active mode again does nothing unless forced.
    void selectMode(BrowseMode mode, bool force);
    const Source& lastHome() const { return m_lastHome; }
    const std::optional<Source>& lastPlaylist() const { return m_lastPlaylist; }
    const Source& lastPlaces() const { return m_lastPlaces; }

    const QString& searchText() const { return m_searchText; }
    void setSearchText(QString text);
    /// The user's edit of the search field: emptying it ends a search shown now.
    void editSearchText(QString text);
    /// Searches for the text without blanks at its ends; blanks alone end a search shown now.
    void submitSearch();

    const std::optional<Medium>& selectedPhoto() const { return m_selectedPhoto; }
    void setSelectedPhoto(std::optional<Medium> photo);
    const QList<Medium>& gridMedia() const { return m_gridMedia; }
    void setGridMedia(QList<Medium> media);
    GridColumns columns() const { return m_columns; }
    /// Stored at once, for the next browser too.
    void setColumns(GridColumns columns);
    /// The playlist row a drag of photos is over.
    std::optional<qint64> dropTarget() const { return m_dropTarget; }
    void setDropTarget(std::optional<qint64> albumId);

    /// Favorites, else the first other playlist, else none.
    std::optional<Source> defaultPlaylistSource() const;
    /// The source when its playlist is still held, else none.
    std::optional<Source> existingPlaylist(const Source& source) const;
    /// The window title for a source.
    QString title(const std::optional<Source>& source) const;
    QString title() const { return title(m_selection); }
    /// The service path of the selection, which the gallery fetches descriptions from.
    std::optional<QString> sourcePath() const;
    /// The name of the country, region or place a query narrows to; none until the tree is held.
    std::optional<QString> placeTitle(const PlaceQuery& query) const;
    /// The country whose row is highlighted: the query's, or for a place the one that holds it.
    std::optional<QString> selectedCountrySlug() const;

    /// Opens the gallery on the grid's photos from the given photo, else the selected one.
    void play(PlayMode mode, std::optional<Medium> photo);
    /// Plays as the gallery was last played: stories or a slideshow.
    void playAsLast(std::optional<Medium> photo);

    /// Moves the selection off a playlist being deleted and forgets it as the playlists mode's
    /// last; the deletion itself is the playlist editor's.
    void leavePlaylist(const Album& album);

signals:
    void selectionChanged();
    void modeChanged();
    void searchTextChanged();
    void gridMediaChanged();
    void columnsChanged();
    void dropTargetChanged();

private:
    struct AlertStep
    {
        bool onboarding = false;
        bool tour = false;
        int shown = 0;
        bool free = false;
        bool operator==(const AlertStep&) const = default;
    };

    struct BeforeSearch
    {
        std::optional<Source> source;
        BrowseMode mode;
    };

    void selectionReaction();
    /// Shows again what was shown before the search, while a search is shown.
    void leaveSearch();
    void showTodayRequest();
    void showPlaceRequest();
    void tourPreparing();
    AlertStep alertStep() const;
    /// A change of the key starts the wait anew.
    void alertStepChanged();
    QCoro::Task<void> offerAfterDelay(CancelToken cancel);
    void setMode(BrowseMode mode);
    void track(const QString& name, QJsonObject properties);

    AppModel& m_model;
    CatalogPages& m_catalog;
    Guidance& m_guidance;
    SaverLauncher& m_saver;
    Defaults& m_defaults;
    EventSink& m_events;
    Clock& m_clock;
    WindowPresenter& m_window;

    std::optional<Source> m_selection = Source::latest();
    BrowseMode m_mode = BrowseMode::home;
    Source m_lastHome = Source::latest();
    std::optional<Source> m_lastPlaylist;
    Source m_lastPlaces{Source::Places{}};
    QString m_searchText;
    std::optional<BeforeSearch> m_beforeSearch;
    std::optional<Medium> m_selectedPhoto;
    QList<Medium> m_gridMedia;
    GridColumns m_columns;
    std::optional<qint64> m_dropTarget;

    std::optional<AlertStep> m_alertStep;
    std::optional<CancelToken> m_alertWait;
};

} // namespace lumi
