#pragma once

#include <QString>
#include <QUrl>

namespace lumi {

/// The service's public web addresses that the windows show or link to.
class ServiceSite final
{
public:
    ServiceSite() = delete;

    static QUrl supportPage();
    static QUrl termsPage();
    static QUrl privacyPage();
    static QString supportEmail();
    /// The photo of the sign-in window: a CDN variant of the service, or of the stand-in service
    /// when the API address is overridden (so a test or demo run never reaches the real one).
    static QUrl samplePhoto();
};

} // namespace lumi
