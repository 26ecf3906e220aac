#include "app/UpdateOffer.h"

#include "model/CdnUrl.h"
#include "platform/LinkOpener.h"
#include "widgets/SheetLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

UpdateOffer::UpdateOffer(LinkOpener& links, QObject* parent) : QObject(parent), m_links(links) {}

UpdateOffer::~UpdateOffer()
{
    delete m_dialog;
}

void UpdateOffer::offer(const UpdateCheck& update)
{
    delete m_dialog;
    m_dialog = new QDialog();
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The feed's notes are shown as they are written: markup in them is text, never a link.
    QLabel* notes = nullptr;
    QHBoxLayout* buttons = SheetLayout::build(*m_dialog, QStyle::SP_MessageBoxInformation,
                                              tr("Lumivale %1 is available").arg(update.version),
                                              update.releaseNotes.trimmed(), &notes);
    notes->setObjectName(u"update.notes"_s);
    notes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes->setVisible(!update.releaseNotes.trimmed().isEmpty());
    m_dialog->setWindowTitle(tr("Software Update"));
    m_dialog->setWindowModality(Qt::NonModal);

    auto* later = new QPushButton(tr("Later"), m_dialog);
    later->setObjectName(u"update.later"_s);
    later->setAutoDefault(false);
    auto* download = new QPushButton(tr("Download…"), m_dialog);
    download->setObjectName(u"update.download"_s);
    download->setDefault(true);
    buttons->addWidget(later);
    buttons->addWidget(download);
    buttons->addStretch();
    connect(later, &QPushButton::clicked, m_dialog, &QDialog::reject);
    const QUrl page = update.downloadPage;
    connect(download, &QPushButton::clicked, m_dialog, [this, page] {
        if (CdnUrl::isAllowed(page))
            m_links.open(page);
        else
            m_log.error(u"download page %1 not opened: not a secure address"_s.arg(page.toString()));
        m_dialog->accept();
    });
    m_dialog->show();
}

} // namespace lumi
