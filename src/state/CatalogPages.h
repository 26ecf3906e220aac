#pragma once

#include "model/Medium.h"
#include "model/PlaceQuery.h"
#include "model/PlacesTree.h"

#include <QCoroTask>
#include <QFuture>
#include <QList>
#include <QObject>

#include <chrono>
#include <optional>

namespace lumi {

class APIClient;
class Account;
class AppModel;
class Clock;
class ModelSession;
class SyncScheduler;
struct MediaQuery;

/// The catalog as the views page through it: the places tree and one page of any photo listing.
/// Failures go to the model's error sink quietly; whatever an ended session receives is dropped.
/// Main thread only.
class CatalogPages final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CatalogPages)

public:
    static constexpr std::chrono::seconds placesAgeLimit{3600};

    /// Everything outlives the part. The model numbers the sessions and takes the failures.
    CatalogPages(AppModel& model, const Account& account, Clock& clock, APIClient& api,
                 const SyncScheduler& sync, QObject* parent = nullptr);
    ~CatalogPages() override;

    const std::optional<PlacesTree>& placesTree() const { return m_placesTree; }
    /// Every assignment signals: the tree has no equality.
    void setPlacesTree(std::optional<PlacesTree> tree);
    /// The last load failed with no tree to show.
    bool placesFailed() const { return m_placesFailed; }
    void setPlacesFailed(bool failed);

    /// Loads the tree unless one younger than an hour is there, or with force. A load without
    /// force while another is on its way waits for that one instead of asking again.
    QCoro::Task<void> loadPlaces(bool force);
    /// One page of a catalog listing or a place's photos; failures are reported quietly and thrown.
    /// A plain playlist's last page carries its linked folder's photos.
    QCoro::Task<QList<Medium>> fetchMediaPage(MediaQuery query);
    /// One page of a place's photos, as fetchMediaPage.
    QCoro::Task<QList<Medium>> fetchPlacesPage(PlaceQuery place, int page, int perPage, bool withDescription);

signals:
    void placesTreeChanged();
    void placesFailedChanged();

private:
    ModelSession session() const;
    QCoro::Task<void> requestPlaces();

    AppModel& m_model;
    const Account& m_account;
    Clock& m_clock;
    APIClient& m_api;
    const SyncScheduler& m_sync;
    std::optional<PlacesTree> m_placesTree;
    bool m_placesFailed = false;
    // On the boot-time clock, so the age includes time the computer slept.
    std::optional<std::chrono::milliseconds> m_placesLoadedAt;
    // Finished once the places request on its way has ended, however it ended.
    std::optional<QFuture<void>> m_placesLoad;
};

} // namespace lumi
