#pragma once

#include <QString>
#include <QStringList>

namespace lumi::test {

/// The lines of one log category in the shared log file, oldest first, without their time stamps
/// and level letters.
QStringList logLines(const QString& category);

} // namespace lumi::test
