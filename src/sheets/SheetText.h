#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace lumi {

/// The look the sheets and the places share: Montserrat texts in the palette's colours, always
/// plain text, since names, titles and messages come from the service or the user.
class SheetText final
{
public:
    SheetText() = delete;

    static QLabel* label(const QString& text, qreal pixelSize, const QColor& color, QWidget* parent);
    /// A text wrapped onto as many lines as it needs.
    static QLabel* wrapped(const QString& text, qreal pixelSize, const QColor& color, QWidget* parent);

    /// Lays a modal sheet out: light palette, 22 of inset, the title at 20, the body at 14 in ink.
    /// Returns the column the caller fills below the title.
    static QVBoxLayout* frame(QDialog& sheet, const QString& title, int spacing);
};

} // namespace lumi
