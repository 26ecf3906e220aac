#include "model/PlayMode.h"

#include <QCoreApplication>

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

QString PlayMode::title() const
{
    switch (m_kind) {
    case Kind::saver:
        return m_effect->label();
    case Kind::slideshow:
        return QCoreApplication::translate("PlayMode", "Slideshow");
    case Kind::infoshow:
        return QCoreApplication::translate("PlayMode", "Stories");
    }
    return QString();
}

} // namespace lumi
