#include "widgets/SymbolIcon.h"

using namespace Qt::StringLiterals;

// The resources live in the core's static library; a widget test may draw before the app's
// start-up registered them.
static void initSymbolResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace lumi {

QIcon SymbolIcon::themed(const QString& themeName, const QString& symbol)
{
    return QIcon::fromTheme(themeName, bundled(symbol));
}

QIcon SymbolIcon::bundled(const QString& symbol)
{
    static const bool registered = (initSymbolResources(), true);
    Q_UNUSED(registered);
    return QIcon(u":/icons/"_s + symbol + u".svg"_s);
}

} // namespace lumi
