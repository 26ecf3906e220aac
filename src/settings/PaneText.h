#pragma once

class QLabel;
class QString;
class QWidget;

namespace lumi {

/// The texts the settings panes share: all plain text, since names, addresses, paths and error
/// texts end up in them.
class PaneText final
{
public:
    PaneText() = delete;

    /// A line in the base font and colour.
    static QLabel* line(const QString& text, QWidget* parent);
    /// A secondary text in the muted grey, wrapped.
    static QLabel* note(const QString& text, QWidget* parent);
    /// The same at 12 px, for the lines under a control.
    static QLabel* smallNote(const QString& text, QWidget* parent);
    /// A block heading at 16 px.
    static QLabel* heading(const QString& text, QWidget* parent);
};

} // namespace lumi
