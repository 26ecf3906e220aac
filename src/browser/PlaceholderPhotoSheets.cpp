#include "browser/PlaceholderPhotoSheets.h"

#include "app/PlaceholderSheet.h"

#include <QCoreApplication>

namespace lumi {

namespace {

void showPlaceholder(QWidget* parent, const QString& heading)
{
    auto* sheet = new PlaceholderSheet(heading, parent);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

} // namespace

void PlaceholderPhotoSheets::chooseDisplays(QWidget* parent, std::function<void(QList<DisplayInfo>)>)
{
    showPlaceholder(parent, QCoreApplication::translate("PhotoCell", "Set as Wallpaper"));
}

void PlaceholderPhotoSheets::share(QWidget* parent, Medium, std::function<void(QString)>)
{
    showPlaceholder(parent, QCoreApplication::translate("PhotoCell", "Share"));
}

} // namespace lumi
