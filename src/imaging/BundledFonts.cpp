#include "imaging/BundledFonts.h"

#include "model/AppLog.h"

#include <QFontDatabase>

#include <mutex>

using namespace Qt::StringLiterals;

static void initBundledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace lumi {

bool BundledFonts::ensureRegistered()
{
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        initBundledResources();
        registered = true;
        for (const QString& face :
             {u":/fonts/Montserrat-Regular.ttf"_s, u":/fonts/Montserrat-SemiBold.ttf"_s}) {
            if (QFontDatabase::addApplicationFont(face) < 0) {
                AppLog(u"app"_s).error(u"can't load the bundled font "_s + face);
                registered = false;
            }
        }
    });
    return registered;
}

QString BundledFonts::family()
{
    return u"Montserrat"_s;
}

QFont BundledFonts::font(qreal pixelSize, QFont::Weight weight)
{
    ensureRegistered();
    QFont font(family());
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(weight);
    return font;
}

} // namespace lumi
