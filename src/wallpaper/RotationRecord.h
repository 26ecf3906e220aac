#pragma once

#include "model/Medium.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

namespace lumi {

class Defaults;

/// What the rotation remembers across launches, in the device-local settings: the photo now
/// showing, the photo per display, the time of the last change, and the calendar and fit keys of
/// the wallpapers on screen. A value that does not read as its type counts as absent.
class RotationRecord final
{
public:
    /// defaults must outlive the record.
    explicit RotationRecord(Defaults& defaults) : m_defaults(defaults) {}

    std::optional<Medium> nowShowing() const;
    /// Display key to photo; empty when the stored map does not decode as a whole.
    QHash<QString, Medium> showingByDisplay() const;
    /// Writes the photo now showing and the photo per display.
    void setShown(const Medium& photo, const QHash<QString, Medium>& byDisplay);

    std::optional<QDateTime> lastChange() const;
    /// None removes the value.
    void setLastChange(const std::optional<QDateTime>& at);

    /// The overlay key of the calendar on screen; "none" when absent.
    QString calendarOnScreen() const;
    /// "fit" or "fill", with "|title" when titles are drawn; "fill" when absent.
    QString fitOnScreen() const;
    void setLook(const QString& calendarKey, const QString& fitKey);

    /// Removes all five values.
    void clear();

private:
    Defaults& m_defaults;
};

} // namespace lumi
