#pragma once

#include <QObject>

namespace lumi {

/// The system asking the app to end (the session logging out, a service manager stopping it), so
/// that it quits the orderly way instead of being cut off.
class TerminationRequests : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TerminationRequests() override = default;

signals:
    void requested();
};

} // namespace lumi
