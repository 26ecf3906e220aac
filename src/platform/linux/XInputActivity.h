#pragma once

#include "platform/InputActivity.h"

#include <QSet>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

namespace lumi {

/// Key and button presses from the X server's raw XInput2 events, read on an X connection of its
/// own: raw events reach every client that asks for them, whoever holds a grab. Buttons 4 to 7
/// are the scroll wheel.
class XInputActivity final : public InputActivity
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(XInputActivity)

public:
    explicit XInputActivity(QObject* parent = nullptr);
    ~XInputActivity() override;

    bool start() override;
    void stop() override;

private:
    struct Closer
    {
        void operator()(xcb_connection_t* connection) const;
    };

    QString open();
    void readEvents();

    std::unique_ptr<xcb_connection_t, Closer> m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    quint8 m_opcode = 0;
    // Keys down since the watch started: a second press of one is the server's auto-repeat.
    QSet<quint32> m_held;
};

} // namespace lumi
