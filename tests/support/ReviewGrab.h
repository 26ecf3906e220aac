#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

namespace lumi::test {

/// Saves a picture of the widget as "<name>.png" in $LUMIVALE_REVIEW_DIR, for a person to look
/// at; does nothing when the variable is not set.
inline void saveForReview(QWidget& widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("LUMIVALE_REVIEW_DIR");
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace lumi::test
