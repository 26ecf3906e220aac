#pragma once

#include "platform/Screens.h"

#include <QTimer>

#include <chrono>

class QScreen;

namespace lumi {

/// The displays as Qt reports them (QGuiApplication::screens()).
class QtScreens final : public Screens
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtScreens)

public:
    /// Changes closer together than `settle` are reported once.
    explicit QtScreens(std::chrono::milliseconds settle = std::chrono::milliseconds(500),
                       QObject* parent = nullptr);

    QList<DisplayInfo> displays() const override;

    /// The record of one screen; none when it has no usable size.
    static std::optional<DisplayInfo> describe(const QScreen& screen);

private:
    void watch(QScreen* screen);

    QTimer m_settle;
};

} // namespace lumi
