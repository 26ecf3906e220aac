#pragma once

#include "platform/DisplayInfo.h"

#include <QDialog>
#include <QList>

#include <functional>

class QCheckBox;
class QPushButton;

namespace lumi {

class Defaults;
class Screens;

/// Asks which displays "Set as Wallpaper" puts a photo on, and whether to ask every time. The
/// displays are those connected when the sheet is made; OK remembers the unticked ones in
/// "wallpaper-displays-off" (ids of displays not connected now stay there untouched) and the
/// question in "show-displays-dialog", then hands the ticked displays to commit. Cancel and
/// Escape write nothing and commit nothing. The sheet never sets a wallpaper itself.
class DisplaysSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DisplaysSheet)

public:
    using Commit = std::function<void(QList<DisplayInfo>)>;

    DisplaysSheet(const Screens& screens, Defaults& defaults, Commit commit, QWidget* parent = nullptr);

    /// The label of the display at index: its place in the list, two blanks and its name, which
    /// tells apart two monitors of the same name and size.
    static QString rowLabel(int index, const DisplayInfo& display);

private:
    void confirm();
    void updateOk();

    Defaults& m_defaults;
    Commit m_commit;
    QList<DisplayInfo> m_displays;
    QList<QCheckBox*> m_ticks;
    QCheckBox* m_ask;
    QPushButton* m_ok;
};

} // namespace lumi
