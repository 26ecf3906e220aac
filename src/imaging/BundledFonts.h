#pragma once

#include <QFont>

namespace lumi {

/// The Montserrat faces bundled in the binary; titles, the calendar and the saver effects use them.
class BundledFonts final
{
public:
    BundledFonts() = delete;

    /// Registers the bundled faces once; safe to call from any thread and any number of times.
    /// Returns false when a face could not be loaded (drawing then falls back to a system font).
    static bool ensureRegistered();
    static QString family();
    /// Montserrat at a pixel size; weight 400 (Regular) or 600 (SemiBold).
    static QFont font(qreal pixelSize, QFont::Weight weight);
};

} // namespace lumi
