#pragma once

#include <QDialog>

class QHBoxLayout;
class QPushButton;

namespace lumi {

/// Takes the place of a sheet whose window is not part of the app yet (settings, survey, calendar
/// set-up), so that the model's request is still answered and the sheets behind it come up.
class PlaceholderSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaceholderSheet)

public:
    PlaceholderSheet(const QString& heading, QWidget* parent = nullptr);

    /// A button of the sheet's own before Close; it closes the sheet after its action.
    QPushButton* addAction(const QString& title);

private:
    QHBoxLayout* m_buttons;
};

} // namespace lumi
