#pragma once

#include <QProgressBar>

namespace lumi {

/// The small indeterminate indicator beside the button of a running action; hidden until shown.
class BusyIndicator final : public QProgressBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BusyIndicator)

public:
    explicit BusyIndicator(QWidget* parent);
};

} // namespace lumi
