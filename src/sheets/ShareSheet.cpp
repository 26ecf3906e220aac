#include "sheets/ShareSheet.h"

#include "model/APIClient.h"
#include "model/Blanks.h"
#include "platform/LinkOpener.h"
#include "sheets/SheetText.h"
#include "state/AppModel.h"
#include "widgets/Palette.h"
#include "widgets/PictureFrame.h"
#include "widgets/TextLimit.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

ShareSheet::ShareSheet(AppModel& model, LinkOpener& links, Medium medium, Sent sent, QWidget* parent)
    : QDialog(parent), m_model(model), m_medium(std::move(medium)), m_sent(std::move(sent))
{
    QVBoxLayout* column = SheetText::frame(*this, tr("Sharing"), 14);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    auto* fields = new QVBoxLayout;
    fields->setSpacing(6);
    fields->addWidget(SheetText::label(tr("To email address:"), 14, Palette::dark(), this));
    m_email = new QLineEdit(this);
    m_email->setObjectName(u"share.email"_s);
    TextLimit::apply(*m_email, emailLimit);
    fields->addWidget(m_email);
    fields->addWidget(SheetText::wrapped(tr("We only send them an email, we do not save their address."), 12,
                                         Palette::muted(), this));
    fields->addSpacing(8);
    fields->addWidget(SheetText::label(tr("Message"), 14, Palette::dark(), this));
    m_message = SheetText::editor(u"share.message"_s, this);
    TextLimit::apply(*m_message, messageLimit);
    fields->addWidget(m_message);
    fields->addStretch();
    auto* fieldColumn = new QWidget(this);
    fieldColumn->setFixedWidth(290);
    fieldColumn->setLayout(fields);
    fields->setContentsMargins(0, 0, 0, 0);
    body->addWidget(fieldColumn, 0, Qt::AlignTop);

    auto* photo = new QVBoxLayout;
    photo->setSpacing(8);
    QLabel* title = SheetText::wrapped(m_medium.displayTitle(), 14, Palette::dark(), this);
    title->setObjectName(u"share.title"_s);
    title->setMaximumHeight(title->fontMetrics().lineSpacing() * 2);
    photo->addWidget(title);
    auto* thumbnail = new PictureFrame(QSize(200, 112), 8, this);
    thumbnail->setObjectName(u"share.thumbnail"_s);
    thumbnail->setFixedSize(200, 112);
    thumbnail->setSource(m_model.api().network(), m_medium.thumbnailURL());
    photo->addWidget(thumbnail);
    photo->addStretch();
    auto* photoColumn = new QWidget(this);
    photoColumn->setFixedWidth(200);
    photoColumn->setLayout(photo);
    photo->setContentsMargins(0, 0, 0, 0);
    body->addWidget(photoColumn, 0, Qt::AlignTop);
    column->addLayout(body);

    m_failure = SheetText::wrapped(QString(), 12, Qt::red, this);
    m_failure->setObjectName(u"share.failure"_s);
    m_failure->hide();
    column->addWidget(m_failure);

    auto* buttons = new QHBoxLayout;
    if (const std::optional<QUrl> page = m_medium.sourceLink()) {
        auto* pageButton = new QPushButton(tr("Photo Page"), this);
        pageButton->setObjectName(u"share.photoPage"_s);
        pageButton->setAutoDefault(false);
        buttons->addWidget(pageButton);
        connect(pageButton, &QPushButton::clicked, this, [this, &links, url = *page] {
            links.open(url);
            accept();
        });
    }
    buttons->addStretch();
    m_progress = SheetText::busy(u"share.progress"_s, 48, this);
    m_progress->hide();
    buttons->addWidget(m_progress);
    m_send =
        SheetText::addAnswers(*this, *buttons, tr("Cancel"), u"share.cancel"_s, tr("Send"), u"share.send"_s);
    column->addLayout(buttons);
    connect(m_send, &QPushButton::clicked, this, &ShareSheet::send);
    connect(m_email, &QLineEdit::textChanged, this, &ShareSheet::updateSend);
    updateSend();
}

void ShareSheet::updateSend()
{
    m_send->setEnabled(!m_sending && m_email->text().contains(u'@'));
}

void ShareSheet::send()
{
    const QString address = Blanks::trimmed(m_email->text());
    // Return reaches here even while the button is off; a second press must not send twice.
    if (m_sending || !address.contains(u'@'))
        return;
    m_sending = true;
    m_failure->hide();
    m_progress->show();
    updateSend();
    ViewTask::start(m_model, deliver(this, m_model, m_medium, address, m_message->toPlainText(), m_sent));
}

QCoro::Task<void> ShareSheet::deliver(QPointer<ShareSheet> sheet, AppModel& model, Medium medium,
                                      QString address, QString message, Sent sent)
{
    const std::optional<QString> failure =
        co_await model.emailPhoto(std::move(medium), address, std::move(message));
    if (sheet)
        sheet->finish(failure);
    if (!failure && sent)
        sent(tr("Sent to ") + address);
}

void ShareSheet::finish(std::optional<QString> failure)
{
    m_sending = false;
    m_progress->hide();
    updateSend();
    if (!failure) {
        // Cancelled meanwhile: it is closed already.
        if (isVisible())
            accept();
        return;
    }
    m_failure->setText(*failure);
    m_failure->show();
    // The sheet grows for the wrapped red line rather than squeezing the fields above it.
    adjustSize();
}

} // namespace lumi
