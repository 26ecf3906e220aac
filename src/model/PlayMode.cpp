#include "model/PlayMode.h"

using namespace Qt::StringLiterals;

namespace lumi {

QString PlayMode::text() const
{
    switch (m_kind) {
    case Kind::saver:
        return u"saver:"_s + m_effect->value();
    case Kind::slideshow:
        return u"slideshow"_s;
    case Kind::infoshow:
        return u"infoshow"_s;
    }
    return QString();
}

} // namespace lumi
