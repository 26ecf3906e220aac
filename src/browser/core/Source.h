#pragma once

#include "model/PlaceQuery.h"

#include <QString>

#include <optional>
#include <variant>

namespace lumi {

/// What the browser's grid shows: today's photos, a catalog collection, one playlist, a search
/// result or the places catalog. Equal sources show the same photos; a change of source reloads.
struct Source final
{
    struct Today final
    {
        bool operator==(const Today&) const = default;
    };
    /// A collection or listing: its path in the service API and the title shown.
    struct Category final
    {
        QString path;
        QString title;
        bool operator==(const Category&) const = default;
    };
    /// One playlist of the user, by its album id.
    struct Album final
    {
        qint64 id = 0;
        bool operator==(const Album&) const = default;
    };
    struct Search final
    {
        QString term;
        bool operator==(const Search&) const = default;
    };
    /// The places catalog; no query is the whole catalog, which differs from a query whose
    /// slugs are all absent.
    struct Places final
    {
        std::optional<PlaceQuery> query;
        bool operator==(const Places&) const = default;
    };

    std::variant<Today, Category, Album, Search, Places> value;

    /// The browser's starting source, the "Latest" listing.
    static const Source& latest();

    template <typename Case> const Case* as() const { return std::get_if<Case>(&value); }
    template <typename Case> bool is() const { return std::holds_alternative<Case>(value); }

    bool operator==(const Source&) const = default;
};

size_t qHash(const Source& source, size_t seed = 0) noexcept;

} // namespace lumi
