#include "Catalog.h"

#include <QHash>
#include <QSet>
#include <QUuid>

#include <random>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

struct PlaceRow
{
    const char16_t* country;
    const char16_t* countrySlug;
    const char16_t* code;
    const char16_t* region;
    const char16_t* regionSlug;
    const char16_t* stateCode; // nullptr when the region has none
    const char16_t* place;
    const char16_t* placeSlug;
    bool featured;
};

// Grouped by country, then region: the places tree keeps this order.
constexpr PlaceRow placeTable[] = {
    {u"Iceland", u"iceland", u"IS", u"Southern Region", u"southern-region", nullptr, u"Vík í Mýrdal", u"vik",
     false},
    {u"Iceland", u"iceland", u"IS", u"Southern Region", u"southern-region", nullptr, u"Skógafoss",
     u"skogafoss", false},
    {u"Iceland", u"iceland", u"IS", u"Southern Region", u"southern-region", nullptr, u"Jökulsárlón",
     u"jokulsarlon", true},
    {u"Iceland", u"iceland", u"IS", u"Westfjords", u"westfjords", nullptr, u"Ísafjörður", u"isafjordur",
     false},
    {u"Iceland", u"iceland", u"IS", u"Westfjords", u"westfjords", nullptr, u"Dynjandi", u"dynjandi", false},
    {u"Norway", u"norway", u"NO", u"Vestland", u"vestland", nullptr, u"Bergen", u"bergen", false},
    {u"Norway", u"norway", u"NO", u"Vestland", u"vestland", nullptr, u"Flåm", u"flam", false},
    {u"Norway", u"norway", u"NO", u"Nordland", u"nordland", nullptr, u"Lofoten", u"lofoten", true},
    {u"Norway", u"norway", u"NO", u"Nordland", u"nordland", nullptr, u"Bodø", u"bodo", false},
    {u"Japan", u"japan", u"JP", u"Kyoto Prefecture", u"kyoto", nullptr, u"Arashiyama", u"arashiyama", true},
    {u"Japan", u"japan", u"JP", u"Kyoto Prefecture", u"kyoto", nullptr, u"Fushimi Inari", u"fushimi-inari",
     false},
    {u"Japan", u"japan", u"JP", u"Hokkaido", u"hokkaido", nullptr, u"Biei", u"biei", false},
    {u"Japan", u"japan", u"JP", u"Hokkaido", u"hokkaido", nullptr, u"Otaru", u"otaru", false},
    {u"United States", u"united-states", u"US", u"California", u"california", u"CA", u"Yosemite Valley",
     u"yosemite-valley", true},
    {u"United States", u"united-states", u"US", u"California", u"california", u"CA", u"Big Sur", u"big-sur",
     false},
    {u"United States", u"united-states", u"US", u"Utah", u"utah", u"UT", u"Zion", u"zion", false},
    {u"United States", u"united-states", u"US", u"Utah", u"utah", u"UT", u"Arches", u"arches", false},
    {u"United States", u"united-states", u"US", u"Alaska", u"alaska", u"AK", u"Denali", u"denali", false},
    {u"New Zealand", u"new-zealand", u"NZ", u"Otago", u"otago", nullptr, u"Queenstown", u"queenstown", false},
    {u"New Zealand", u"new-zealand", u"NZ", u"Otago", u"otago", nullptr, u"Wānaka", u"wanaka", false},
    {u"New Zealand", u"new-zealand", u"NZ", u"Canterbury", u"canterbury", nullptr, u"Aoraki / Mount Cook",
     u"aoraki-mount-cook", true},
    {u"New Zealand", u"new-zealand", u"NZ", u"Canterbury", u"canterbury", nullptr, u"Lake Tekapo",
     u"lake-tekapo", false},
    {u"Italy", u"italy", u"IT", u"Tuscany", u"tuscany", nullptr, u"Val d'Orcia", u"val-d-orcia", false},
    {u"Italy", u"italy", u"IT", u"Tuscany", u"tuscany", nullptr, u"Florence", u"florence", false},
    {u"Italy", u"italy", u"IT", u"Trentino-Alto Adige", u"trentino-alto-adige", nullptr, u"Dolomites",
     u"dolomites", true},
    {u"Italy", u"italy", u"IT", u"Trentino-Alto Adige", u"trentino-alto-adige", nullptr, u"Lago di Braies",
     u"lago-di-braies", false},
};
constexpr int placeCount = int(std::size(placeTable));

struct CategoryRow
{
    const char16_t* title;
    const char16_t* slug;
    const char16_t* templates[3]; // %1 = adjective, %2 = where
};

constexpr CategoryRow categoryTable[] = {
    {u"Landscapes", u"landscapes", {u"%1 Light over %2", u"%1 Fields near %2", u"%2, %1 Hour"}},
    {u"Mountains", u"mountains", {u"%1 Peaks above %2", u"%1 Ridge near %2", u"%2 Summit, %1 Sky"}},
    {u"Coast & Sea", u"coast-and-sea", {u"%1 Tide at %2", u"%1 Shore by %2", u"%2 Waves, %1 Morning"}},
    {u"Cities", u"cities", {u"%1 Streets of %2", u"%1 Rooftops in %2", u"%2 After Rain, %1"}},
    {u"Forests", u"forests", {u"%1 Woods by %2", u"%1 Canopy near %2", u"%2 Trail, %1 Pines"}},
    {u"Night Sky", u"night-sky", {u"%1 Stars over %2", u"%1 Aurora near %2", u"%2 at Night, %1 Moon"}},
    {u"Wildlife", u"wildlife", {u"%1 Fox near %2", u"%1 Herons at %2", u"%2 Deer, %1 Meadow"}},
    {u"Abstract", u"abstract", {u"%1 Lines", u"%1 Reflections", u"%1 Shapes in Glass"}},
};
constexpr int categoryCount = int(std::size(categoryTable));
constexpr int abstractCategory = categoryCount - 1;
constexpr int photoCount = 240;

constexpr const char16_t* adjectives[] = {
    u"Golden", u"Quiet", u"Misty", u"Silver", u"Amber",  u"Frosted", u"Blue",    u"Early",
    u"Late",   u"Soft",  u"Wild",  u"Still",  u"Bright", u"Hidden",  u"Distant", u"Crimson",
};

QString text(const char16_t* value)
{
    return value ? QString::fromUtf16(value) : QString();
}

QString channelPath(int category)
{
    return u"channels/"_s + text(categoryTable[category].slug);
}

QJsonObject named(const char16_t* name, const char16_t* slug)
{
    return {{u"name"_s, text(name)}, {u"slug"_s, text(slug)}};
}

// A lower-case UUID whose 8-character short id is unique and holds a letter (an all-digit short
// id could be taken for a date by the app's file-name rule).
QString makeUuid(std::mt19937& rng, QSet<QString>& shortIds)
{
    for (;;) {
        QByteArray bytes(16, Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(rng() & 0xff);
        bytes[6] = char((bytes[6] & 0x0f) | 0x40);
        bytes[8] = char((bytes[8] & 0x3f) | 0x80);
        const QString uuid = QUuid::fromRfc4122(bytes).toString(QUuid::WithoutBraces).toLower();
        const QString shortId = uuid.left(8);
        const bool hasLetter =
            std::any_of(shortId.begin(), shortId.end(), [](QChar c) { return c.isLetter(); });
        if (hasLetter && !shortIds.contains(shortId)) {
            shortIds.insert(shortId);
            return uuid;
        }
    }
}

} // namespace

Catalog::Catalog(const QString& cdnBase, int bulkCount) : m_cdnBase(cdnBase)
{
    std::mt19937 rng(0x4c756d69);
    QSet<QString> shortIds;
    m_photos.reserve(photoCount);
    for (int i = 0; i < photoCount; ++i) {
        CatalogPhoto photo;
        photo.uuid = makeUuid(rng, shortIds);
        photo.category = i % categoryCount;
        const CategoryRow& category = categoryTable[photo.category];
        const QString adjective = text(adjectives[rng() % std::size(adjectives)]);
        const QString pattern = text(category.templates[rng() % 3]);
        if (photo.category != abstractCategory) {
            photo.place = int(rng() % placeCount);
            photo.placeKnown = rng() % 7 != 0;
            const PlaceRow& row = placeTable[photo.place];
            const QString where = text(photo.placeKnown ? row.place : row.region);
            photo.title = pattern.arg(adjective, where);
            photo.description = u"%1 — photographed in %2, %3. One of the %4 of the Lumivale "
                                u"catalog, chosen for its calm colours and clear light."_s.arg(
                                    photo.title, where, text(row.country), text(category.title).toLower());
        } else {
            photo.title = pattern.arg(adjective);
            photo.description =
                u"%1 — a study of form and colour from the Abstract collection."_s.arg(photo.title);
        }
        photo.sourceUrl =
            u"https://photos.lumivale.test/%1/%2"_s.arg(text(category.slug), photo.uuid.left(8));
        m_photos.append(photo);
    }
    while (m_today.size() < 6) {
        const int index = int(rng() % photoCount);
        if (!m_today.contains(index))
            m_today.append(index);
    }
    // After the seeded catalog, so that it stays the same with or without them.
    for (int i = 0; i < bulkCount; ++i) {
        CatalogPhoto photo;
        photo.uuid = makeUuid(rng, shortIds);
        photo.category = abstractCategory;
        photo.title = u"Bulk photo %1"_s.arg(i + 1);
        photo.description = photo.title;
        m_bulk.append(int(m_photos.size()));
        m_photos.append(photo);
    }
}

const CatalogPhoto* Catalog::photo(const QString& uuid) const
{
    for (const CatalogPhoto& photo : m_photos) {
        if (photo.uuid == uuid)
            return &photo;
    }
    return nullptr;
}

const CatalogPhoto* Catalog::photoByPrefix(const QString& prefix) const
{
    if (prefix.isEmpty())
        return nullptr;
    for (const CatalogPhoto& photo : m_photos) {
        if (photo.uuid.startsWith(prefix))
            return &photo;
    }
    return nullptr;
}

QJsonArray Catalog::categoriesJson() const
{
    // As the service's: the newest photos of every collection first, then the collections.
    QJsonArray categories{QJsonObject{{u"title"_s, u"Latest"_s}, {u"channel_path"_s, u"classic/latest"_s}}};
    for (int i = 0; i < categoryCount; ++i)
        categories.append(
            QJsonObject{{u"title"_s, text(categoryTable[i].title)}, {u"channel_path"_s, channelPath(i)}});
    return categories;
}

QJsonObject Catalog::locationJson(const CatalogPhoto& photo) const
{
    const PlaceRow& row = placeTable[photo.place];
    QJsonObject location{{u"country"_s, named(row.country, row.countrySlug)},
                         {u"region"_s, named(row.region, row.regionSlug)}};
    if (photo.placeKnown)
        location.insert(u"place"_s, named(row.place, row.placeSlug));
    return location;
}

QJsonObject Catalog::mediumJson(const CatalogPhoto& photo, bool withDescription) const
{
    QJsonObject medium{
        {u"uuid"_s, photo.uuid},
        {u"title"_s, photo.title},
        {u"secure_base_url"_s, m_cdnBase + photo.uuid + u'/'},
        {u"channel_title"_s, text(categoryTable[photo.category].title)},
        {u"source_url"_s, photo.sourceUrl},
    };
    if (withDescription)
        medium.insert(u"description"_s, photo.description);
    if (photo.place >= 0)
        medium.insert(u"location"_s, locationJson(photo));
    return medium;
}

QJsonObject Catalog::coverJson(int index) const
{
    const CatalogPhoto& photo = m_photos[index];
    return {{u"uuid"_s, photo.uuid},
            {u"title"_s, photo.title},
            {u"secure_base_url"_s, m_cdnBase + photo.uuid + u'/'}};
}

std::optional<QList<int>> Catalog::listing(const QString& path) const
{
    if (path == u"today")
        return m_today;
    if (path == bulkPath)
        return m_bulk;
    int category = -1;
    if (path != u"classic/latest") {
        for (int i = 0; i < categoryCount && category < 0; ++i) {
            if (channelPath(i) == path)
                category = i;
        }
        if (category < 0)
            return std::nullopt;
    }
    // Newest first: the last generated photo counts as the latest.
    QList<int> indexes;
    for (int i = photoCount - 1; i >= 0; --i) {
        if (category < 0 || m_photos[i].category == category)
            indexes.append(i);
    }
    return indexes;
}

QList<int> Catalog::placeListing(const QString& country, const QString& region, const QString& place) const
{
    QList<int> indexes;
    for (int i = photoCount - 1; i >= 0; --i) {
        const CatalogPhoto& photo = m_photos[i];
        if (photo.place < 0)
            continue;
        const PlaceRow& row = placeTable[photo.place];
        bool match = true;
        if (!place.isEmpty()) {
            match = photo.placeKnown && text(row.placeSlug) == place;
        } else {
            match = (country.isEmpty() || text(row.countrySlug) == country) &&
                    (region.isEmpty() || text(row.regionSlug) == region);
        }
        if (match)
            indexes.append(i);
    }
    return indexes;
}

bool Catalog::matchesSearch(int index, const QString& term) const
{
    const CatalogPhoto& photo = m_photos[index];
    QString haystack =
        photo.title + u' ' + photo.description + u' ' + text(categoryTable[photo.category].title);
    if (photo.place >= 0) {
        const PlaceRow& row = placeTable[photo.place];
        haystack += u' ' + text(row.country) + u' ' + text(row.region) + u' ' + text(row.place);
    }
    return haystack.contains(term.trimmed(), Qt::CaseInsensitive);
}

QJsonObject Catalog::placesTreeJson() const
{
    // Photos per node, newest first, so a node's cover is its latest photo.
    QHash<QString, QList<int>> byCountry;
    QHash<QString, QList<int>> byRegion;
    QHash<QString, QList<int>> byPlace;
    for (int i = photoCount - 1; i >= 0; --i) {
        const CatalogPhoto& photo = m_photos[i];
        if (photo.place < 0)
            continue;
        const PlaceRow& row = placeTable[photo.place];
        byCountry[text(row.countrySlug)].append(i);
        byRegion[text(row.countrySlug) + u'/' + text(row.regionSlug)].append(i);
        if (photo.placeKnown)
            byPlace[text(row.placeSlug)].append(i);
    }

    const auto placeNode = [&](const PlaceRow& row, bool withParents) {
        const QList<int>& photos = byPlace[text(row.placeSlug)];
        QJsonObject node{{u"name"_s, text(row.place)},
                         {u"slug"_s, text(row.placeSlug)},
                         {u"featured"_s, row.featured},
                         {u"photos"_s, qint64(photos.size())},
                         {u"cover"_s, coverJson(photos.first())}};
        if (withParents) {
            node.insert(u"country_slug"_s, text(row.countrySlug));
            node.insert(u"region_slug"_s, text(row.regionSlug));
        }
        return node;
    };

    QJsonArray featured;
    QJsonArray countries;
    QJsonObject country;
    QJsonArray regions;
    QJsonObject region;
    QJsonArray places;
    const auto closeRegion = [&] {
        if (region.isEmpty())
            return;
        region.insert(u"places"_s, places);
        regions.append(region);
        region = {};
        places = {};
    };
    const auto closeCountry = [&] {
        closeRegion();
        if (country.isEmpty())
            return;
        country.insert(u"regions"_s, regions);
        countries.append(country);
        country = {};
        regions = {};
    };

    for (const PlaceRow& row : placeTable) {
        const QString countrySlug = text(row.countrySlug);
        const QString regionKey = countrySlug + u'/' + text(row.regionSlug);
        if (!byCountry.contains(countrySlug))
            continue;
        if (country.value(u"slug"_s).toString() != countrySlug) {
            closeCountry();
            const QList<int>& photos = byCountry[countrySlug];
            country = {{u"code"_s, text(row.code)},
                       {u"name"_s, text(row.country)},
                       {u"slug"_s, countrySlug},
                       {u"photos"_s, qint64(photos.size())},
                       {u"cover"_s, coverJson(photos.first())}};
        }
        if (!byRegion.contains(regionKey))
            continue;
        if (region.value(u"slug"_s).toString() != text(row.regionSlug)) {
            closeRegion();
            const QList<int>& photos = byRegion[regionKey];
            region = {{u"name"_s, text(row.region)},
                      {u"slug"_s, text(row.regionSlug)},
                      {u"photos"_s, qint64(photos.size())},
                      {u"cover"_s, coverJson(photos.first())}};
            if (row.stateCode)
                region.insert(u"state_code"_s, text(row.stateCode));
        }
        if (!byPlace.contains(text(row.placeSlug)))
            continue;
        places.append(placeNode(row, false));
        if (row.featured)
            featured.append(placeNode(row, true));
    }
    closeCountry();
    return {{u"featured"_s, featured}, {u"countries"_s, countries}};
}

} // namespace lumi::sandbox
