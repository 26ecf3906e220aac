#pragma once

#include <QIcon>
#include <QString>

namespace lumi {

/// The symbols the views name: the desktop icon theme's where it has the name, else the SVG
/// bundled with the app (":/icons/<symbol>.svg"), so that every button shows its symbol under a
/// bare window manager and with a partial theme alike.
class SymbolIcon final
{
public:
    SymbolIcon() = delete;

    /// The theme's icon of the freedesktop name, else the bundled symbol.
    static QIcon themed(const QString& themeName, const QString& symbol);
    /// The bundled symbol, for symbols no icon theme names.
    static QIcon bundled(const QString& symbol);
};

} // namespace lumi
