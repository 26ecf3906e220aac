#pragma once

#include "CatalogPhoto.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace lumi::sandbox {

// The generated photo catalog: categories, a few hundred photos with locations, the places tree
// built from those locations, today's photos and the latest list. It is rebuilt from a fixed seed
// at every start, so it never needs to be stored.
class Catalog final
{
public:
    // The listing of the extra collection that a benchmark asks for at start.
    static inline const QString bulkPath = QStringLiteral("channels/bulk");

    // cdnBase is the CDN root, e.g. "http://127.0.0.1:8080/cdn/"; a photo's base URL is that plus
    // its uuid and "/". bulkCount photos more are listed under bulkPath only.
    explicit Catalog(const QString& cdnBase, int bulkCount = 0);

    const QList<CatalogPhoto>& photos() const { return m_photos; }
    const CatalogPhoto* photo(const QString& uuid) const;
    const CatalogPhoto* photoByPrefix(const QString& prefix) const;

    QJsonArray categoriesJson() const;
    QJsonObject mediumJson(const CatalogPhoto& photo, bool withDescription) const;
    QJsonObject placesTreeJson() const;

    // Photo indexes of a listing under "media/": "today", "classic/latest" or a category's
    // channel path; none for an unknown path.
    std::optional<QList<int>> listing(const QString& path) const;
    // Photos of a places selection; a place slug wins over country and region.
    QList<int> placeListing(const QString& country, const QString& region, const QString& place) const;
    bool matchesSearch(int index, const QString& term) const;

private:
    QJsonObject locationJson(const CatalogPhoto& photo) const;
    QJsonObject coverJson(int index) const;

    QString m_cdnBase;
    QList<CatalogPhoto> m_photos;
    QList<int> m_today;
    QList<int> m_bulk;
};

} // namespace lumi::sandbox
