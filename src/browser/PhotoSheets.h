#pragma once

#include "model/Medium.h"
#include "platform/DisplayInfo.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace lumi {

/// The sheets a photo tile opens over its window: which displays get a wallpaper, and sending the
/// photo by e-mail.
class PhotoSheets
{
public:
    virtual ~PhotoSheets() = default;

    /// Window-modal over parent; commit gets the displays the user chose and is never called when
    /// the sheet is cancelled.
    virtual void chooseDisplays(QWidget* parent, std::function<void(QList<DisplayInfo>)> commit) = 0;
    /// Window-modal over parent; sent gets "Sent to <address>" after each successful send.
    virtual void share(QWidget* parent, Medium photo, std::function<void(QString)> sent) = 0;
};

} // namespace lumi
