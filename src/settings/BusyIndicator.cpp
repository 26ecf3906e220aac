#include "settings/BusyIndicator.h"

namespace lumi {

namespace {

constexpr QSize indicatorSize{48, 8};

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 0);
    setTextVisible(false);
    setFixedSize(indicatorSize);
    hide();
}

} // namespace lumi
