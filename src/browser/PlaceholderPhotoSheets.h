#pragma once

#include "browser/PhotoSheets.h"

namespace lumi {

/// Stands in for the displays and share sheets until they are part of the app: says so, and
/// commits and sends nothing.
class PlaceholderPhotoSheets final : public PhotoSheets
{
public:
    void chooseDisplays(QWidget* parent, std::function<void(QList<DisplayInfo>)> commit) override;
    void share(QWidget* parent, Medium photo, std::function<void(QString)> sent) override;
};

} // namespace lumi
