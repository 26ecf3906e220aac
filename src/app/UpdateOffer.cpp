#include "app/UpdateOffer.h"

#include "platform/LinkOpener.h"

#include <QMessageBox>
#include <QPushButton>

namespace lumi {

UpdateOffer::UpdateOffer(LinkOpener& links, QObject* parent) : QObject(parent), m_links(links) {}

UpdateOffer::~UpdateOffer()
{
    delete m_box;
}

void UpdateOffer::offer(const UpdateCheck& update)
{
    delete m_box;
    m_box = new QMessageBox();
    m_box->setAttribute(Qt::WA_DeleteOnClose);
    m_box->setIcon(QMessageBox::Information);
    m_box->setWindowTitle(tr("Software Update"));
    m_box->setText(tr("Lumivale %1 is available").arg(update.version));
    m_box->setInformativeText(update.releaseNotes);
    m_box->setTextFormat(Qt::PlainText);
    QPushButton* download = m_box->addButton(tr("Download…"), QMessageBox::AcceptRole);
    m_box->addButton(tr("Later"), QMessageBox::RejectRole);
    m_box->setDefaultButton(download);
    const QUrl page = update.downloadPage;
    connect(download, &QPushButton::clicked, this, [this, page] { m_links.open(page); });
    m_box->setModal(false);
    m_box->show();
}

} // namespace lumi
