#pragma once

#include "model/Medium.h"

#include <QJsonObject>
#include <QString>

namespace lumi {

/// The analytics event queue.
class EventSink
{
public:
    virtual ~EventSink() = default;

    /// Starts the periodic upload and queues "app-opened" once per analytics session.
    virtual void start() = 0;
    /// Queues an event with its text, number or Boolean properties; dropped while nobody is
    /// signed in.
    virtual void track(QString name, QJsonObject properties) = 0;
    /// A new analytics session id, so the next start queues "app-opened" again.
    virtual void startNewSession() = 0;

    /// Queues an event about a photo: the properties plus "photo-id" and "photo-title".
    void trackPhoto(QString name, const Medium& photo, QJsonObject properties)
    {
        properties.insert(QStringLiteral("photo-id"), photo.uuid);
        properties.insert(QStringLiteral("photo-title"), photo.displayTitle());
        track(std::move(name), std::move(properties));
    }
};

} // namespace lumi
