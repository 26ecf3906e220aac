#include "browser/core/Source.h"

#include <QCoreApplication>
#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

const Source& Source::latest()
{
    // Looked up as the sidebar looks up the service's collections, so that its "Latest" row is
    // highlighted while the browser starts on it.
    static const Source source{
        Category{u"classic/latest"_s, QCoreApplication::translate("Category", "Latest")}};
    return source;
}

size_t qHash(const Source& source, size_t seed) noexcept
{
    seed = ::qHash(source.value.index(), seed);
    return std::visit(
        [seed](const auto& payload) -> size_t {
            using Case = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Case, Source::Category>)
                return qHashMulti(seed, payload.path, payload.title);
            else if constexpr (std::is_same_v<Case, Source::Album>)
                return ::qHash(payload.id, seed);
            else if constexpr (std::is_same_v<Case, Source::Search>)
                return ::qHash(payload.term, seed);
            else if constexpr (std::is_same_v<Case, Source::Places>)
                return payload.query ? qHash(*payload.query, ::qHash(1, seed)) : ::qHash(0, seed);
            else
                return seed;
        },
        source.value);
}

} // namespace lumi
