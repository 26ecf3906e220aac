#pragma once

#include <QString>

namespace lumi::sandbox {

// One photo of the generated catalog. `place` indexes the place table; -1 when the photo has no
// location. `placeKnown` is false for photos located only down to their region.
struct CatalogPhoto final
{
    QString uuid;
    QString title;
    QString description;
    QString sourceUrl;
    int category = 0;
    int place = -1;
    bool placeKnown = false;
};

} // namespace lumi::sandbox
