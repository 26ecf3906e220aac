#include "model/CdnOrigin.h"

#include "model/APIClient.h"

using namespace Qt::StringLiterals;

namespace lumi {

QString CdnOrigin::base()
{
    const QUrl api = APIClient::baseURL();
    if (api.host() == u"api.lumivale.com"_s)
        return u"https://cdn.lumivale.com"_s;
    QUrl origin = api;
    origin.setPath(u"/cdn"_s);
    origin.setQuery(QString());
    return origin.toString();
}

} // namespace lumi
