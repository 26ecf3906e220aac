#include "sheets/CatalogPhotoSheets.h"

#include "sheets/DisplaysSheet.h"
#include "sheets/ShareSheet.h"

namespace lumi {

namespace {

void openOver(QDialog* sheet)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

} // namespace

CatalogPhotoSheets::CatalogPhotoSheets(AppModel& model, const Screens& screens, Defaults& defaults,
                                       LinkOpener& links)
    : m_model(model), m_screens(screens), m_defaults(defaults), m_links(links)
{
}

void CatalogPhotoSheets::chooseDisplays(QWidget* parent, std::function<void(QList<DisplayInfo>)> commit)
{
    openOver(new DisplaysSheet(m_screens, m_defaults, std::move(commit), parent));
}

void CatalogPhotoSheets::share(QWidget* parent, Medium photo, std::function<void(QString)> sent)
{
    openOver(new ShareSheet(m_model, m_links, std::move(photo), std::move(sent), parent));
}

} // namespace lumi
