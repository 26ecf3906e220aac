#pragma once

#include "browser/core/Source.h"
#include "model/Album.h"
#include "model/MediaQuery.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QList>
#include <QObject>

#include <optional>

namespace lumi {

class Account;
class CatalogPages;

/// The photos of one grid, loaded from its source 60 at a time: one request at a time, each
/// photo once across pages, and no further page once a short one came. A failure keeps what is
/// shown and asks for the same page next time; with nothing shown it is reported as failed.
class GridPages final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridPages)

public:
    static constexpr int pageSize = 60;

    /// The account and the catalog outlive the pages.
    GridPages(const Account& account, CatalogPages& catalog, Source source, QObject* parent = nullptr);

    const Source& source() const { return m_source; }
    const QList<Medium>& media() const { return m_media; }
    bool isLoading() const { return m_loading; }
    bool isExhausted() const { return m_exhausted; }
    bool hasFailed() const { return m_failed; }
    /// A playlist source's album as the model holds it now; none for other sources and for an
    /// album the model does not hold.
    std::optional<Album> album() const;

    /// Asks for the next page unless one is on its way or none is left; never throws.
    QCoro::Task<void> loadPage();
    /// From the start: no photos, page 1.
    QCoro::Task<void> restart();
    /// Every photo with this uuid leaves the list.
    void remove(const QString& uuid);

signals:
    void mediaChanged();
    /// Loading, exhausted or failed changed.
    void stateChanged();

private:
    /// None when the source asks nothing (an album the model does not hold, places without a query).
    std::optional<MediaQuery> query() const;
    void append(const QList<Medium>& answer);

    const Account& m_account;
    CatalogPages& m_catalog;
    const Source m_source;
    QList<Medium> m_media;
    int m_page = 1;
    bool m_loading = false;
    bool m_exhausted = false;
    bool m_failed = false;
};

} // namespace lumi
