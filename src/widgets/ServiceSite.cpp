#include "widgets/ServiceSite.h"

#include "model/CdnOrigin.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The sign-in photo (Jean-Drapeau Park, Montreal); the stand-in service's catalog has this id too.
const QString samplePhotoId = u"212043f1-bd79-432e-9fb8-1513f8c0ba20"_s;

} // namespace

QUrl ServiceSite::supportPage()
{
    return QUrl(u"https://lumivale.com/support"_s);
}

QUrl ServiceSite::termsPage()
{
    return QUrl(u"https://lumivale.com/terms"_s);
}

QUrl ServiceSite::privacyPage()
{
    return QUrl(u"https://lumivale.com/privacy"_s);
}

QString ServiceSite::supportEmail()
{
    return u"support@lumivale.com"_s;
}

QUrl ServiceSite::samplePhoto()
{
    return QUrl(CdnOrigin::base() + u"/"_s + samplePhotoId + u"/2560x1440.jpg"_s);
}

} // namespace lumi
