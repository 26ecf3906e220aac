#include "app/PlaceholderSheet.h"

#include "widgets/SheetLayout.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

PlaceholderSheet::PlaceholderSheet(const QString& heading, QWidget* parent) : QDialog(parent)
{
    m_buttons = SheetLayout::build(*this, QStyle::SP_MessageBoxInformation, heading,
                                   tr("This part of Lumivale isn't available in this version yet."));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(u"placeholder.close"_s);
    close->setDefault(true);
    m_buttons->addWidget(close);
    m_buttons->addStretch();
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* PlaceholderSheet::addAction(const QString& title)
{
    auto* button = new QPushButton(title, this);
    // After the leading stretch, before Close.
    m_buttons->insertWidget(1, button);
    connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

} // namespace lumi
