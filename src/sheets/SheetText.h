#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
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
    /// Adds the dismissing button (Escape: it rejects the sheet) and the confirming one (Return)
    /// to row; returns the confirming one, which the caller connects.
    static QPushButton* addAnswers(QDialog& sheet, QHBoxLayout& row, const QString& dismiss,
                                   const QString& dismissName, const QString& confirm,
                                   const QString& confirmName);
    /// A text editor at 13 in a thin rounded frame, 84 high.
    static QPlainTextEdit* editor(const QString& name, QWidget* parent);
    /// A small indeterminate progress bar.
    static QProgressBar* busy(const QString& name, int width, QWidget* parent);
};

} // namespace lumi
