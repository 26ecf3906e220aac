#pragma once

#include <QCoroTask>
#include <QImage>
#include <QSize>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;

namespace lumi {

/// The one loader of the pictures views show (place covers, thumbnails, the story picture, the
/// sign-in photo): a file URL from disk, an allowed web address through the app's network session
/// and its cache; decoded off the main thread, just covering the size it is drawn at.
class ImageLoader final
{
public:
    ImageLoader() = delete;

    /// None when the address is not allowed, the answer is not a 200, or nothing decodes.
    static QCoro::Task<std::optional<QImage>> load(QNetworkAccessManager& network, QUrl url, QSize cover);
};

} // namespace lumi
