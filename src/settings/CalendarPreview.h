#pragma once

#include "model/CalendarSettings.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace lumi {

class CalendarService;

/// A small picture of the desktop: the photo now on the wallpaper, cropped to fill, with the
/// month calendar drawn in its corner as the chosen settings would place it on a 1920-wide screen.
class CalendarPreview final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarPreview)

public:
    static constexpr QSize previewSize{640, 360};
    /// Shown while the photo loads, when it fails and when nothing is on the wallpaper.
    static QColor flatColour() { return QColor(107, 122, 134); }

    CalendarPreview(const CalendarService& calendar, QWidget* parent = nullptr);

    void setPhoto(std::optional<QImage> photo);
    /// None draws no calendar.
    void setSettings(std::optional<CalendarSettings> settings);

    /// The picture at the given scale; today's month in the calendar.
    QImage compose(qreal scale) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CalendarService& m_calendar;
    std::optional<QImage> m_photo;
    std::optional<CalendarSettings> m_settings;
};

} // namespace lumi
