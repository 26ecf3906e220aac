#pragma once

#include "model/CalendarSettings.h"

#include <QCoroTask>
#include <QDialog>

#include <optional>

class QAbstractButton;

namespace lumi {

class Account;
class CalendarPreview;
class ErrorSink;
class PhotoImageSource;
class Guidance;
class RotationEngine;
struct User;

/// The one-question onboarding sheet: which calendar, if any, to draw on the desktop, with a
/// preview on the photo now on the wallpaper. Nothing is stored before "Done"; both answers go to
/// the guidance, which takes the sheet down.
class CalendarSetupSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarSetupSheet)

public:
    CalendarSetupSheet(ErrorSink& errors, const Account& account, Guidance& guidance,
                       RotationEngine& rotation, PhotoImageSource& photos, QWidget* parent = nullptr);
    ~CalendarSetupSheet() override;

    /// The theme chosen; none is "No calendar".
    const std::optional<QString>& selected() const { return m_selected; }
    void select(std::optional<QString> theme);

    /// What the account's calendar suggests: none when it is off, else its theme when that is
    /// one of the list, else the first theme.
    static std::optional<QString> suggestion(const std::optional<User>& user);
    /// The settings the preview draws for a theme: the account's when its calendar is on, else
    /// medium, fully opaque, no months around, at the stored position and week start.
    static CalendarSettings previewSettings(const std::optional<User>& user, const QString& theme);

    CalendarPreview& preview() const { return *m_preview; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPreview();
    QCoro::Task<void> loadPhoto();

    ErrorSink& m_errors;
    const Account& m_account;
    Guidance& m_guidance;
    RotationEngine& m_rotation;
    PhotoImageSource& m_photos;
    std::optional<QString> m_selected = QStringLiteral("classic");
    CalendarPreview* m_preview = nullptr;
    QList<std::pair<std::optional<QString>, QAbstractButton*>> m_tiles;
    quint64 m_photoRequests = 0;
};

} // namespace lumi
