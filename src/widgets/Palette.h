#pragma once

#include <QColor>
#include <QPalette>

namespace lumi {

/// The app's five named colours (opaque sRGB), and those of error lines and the focus ring.
/// Everything else uses the platform's own colours; a view that needs a lighter variant sets the
/// alpha itself.
class Palette final
{
public:
    Palette() = delete;

    /// Headings, links, the window's tint, the tour bubble.
    static QColor dark() { return QColor(25, 23, 22); }
    /// Secondary texts.
    static QColor muted() { return QColor(94, 89, 97); }
    /// The filled star of a favourite.
    static QColor amber() { return QColor(255, 193, 7); }
    /// The banner's title and its link button.
    static QColor lavender() { return QColor(217, 212, 228); }
    /// The banner's text and close button, divider lines.
    static QColor lightGray() { return QColor(224, 223, 223); }
    /// The line under a form or field saying what went wrong.
    static QColor errorText() { return QColor(208, 40, 30); }
    /// The ring of the control that has the keyboard focus: it must show on white and on the dark
    /// fill of a selected row alike, so it is none of the colours above.
    static QColor focusRing() { return QColor(53, 132, 228); }

    /// The light look of every window, sheet and alert of the app, whatever the desktop's colour
    /// scheme: its texts are drawn in these colours, so a dark scheme would make them unreadable.
    /// Windows do not inherit it from their parent; each sets it.
    static QPalette widgets();
};

} // namespace lumi
