#include "app/PlaceholderSheet.h"

#include "app/SheetLayout.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

PlaceholderSheet::PlaceholderSheet(const QString& heading, QWidget* parent) : QDialog(parent)
{
    QHBoxLayout* buttons =
        SheetLayout::build(*this, QStyle::SP_MessageBoxInformation, heading,
                           tr("This part of Lumivale isn't available in this version yet."));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(u"placeholder.close"_s);
    close->setDefault(true);
    buttons->addWidget(close);
    buttons->addStretch();
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace lumi
