#pragma once

#include "browser/PhotoSheets.h"

namespace lumi {

class AppModel;
class Defaults;
class LinkOpener;
class Screens;

/// The photo tiles' sheets: the displays sheet and the share sheet, each window-modal over the
/// tile's window and gone when closed.
class CatalogPhotoSheets final : public PhotoSheets
{
public:
    CatalogPhotoSheets(AppModel& model, const Screens& screens, Defaults& defaults, LinkOpener& links);

    void chooseDisplays(QWidget* parent, std::function<void(QList<DisplayInfo>)> commit) override;
    void share(QWidget* parent, Medium photo, std::function<void(QString)> sent) override;

private:
    AppModel& m_model;
    const Screens& m_screens;
    Defaults& m_defaults;
    LinkOpener& m_links;
};

} // namespace lumi
