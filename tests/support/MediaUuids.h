#pragma once

#include "model/Medium.h"

#include <QList>
#include <QStringList>

namespace lumi::test {

/// The photos' uuids in their order, for comparing lists of photos in one line.
inline QStringList uuidsOf(const QList<Medium>& photos)
{
    QStringList uuids;
    for (const Medium& photo : photos)
        uuids.append(photo.uuid);
    return uuids;
}

} // namespace lumi::test
