#pragma once

#include <QStyle>

class QDialog;
class QHBoxLayout;
class QLabel;
class QString;

namespace lumi {

/// The common shape of the main window's small sheets: a symbol, a heading, a wrapped text and a
/// row of buttons, centred in a 420-wide column.
class SheetLayout final
{
public:
    SheetLayout() = delete;

    /// Lays the sheet out and returns its button row, holding a leading stretch: the caller adds its
    /// buttons and a closing stretch, which centres them.
    /// The text label is returned through text so the caller may change it later.
    static QHBoxLayout* build(QDialog& sheet, QStyle::StandardPixmap symbol, const QString& heading,
                              const QString& text, QLabel** textLabel = nullptr);
};

} // namespace lumi
