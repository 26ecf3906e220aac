#include "browser/NameSheet.h"

#include "imaging/BundledFonts.h"
#include "model/Blanks.h"
#include "widgets/Palette.h"
#include "widgets/PrimaryButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

NameSheet::NameSheet(const QString& title, const QString& action, const QString& initial, QWidget* parent)
    : QDialog(parent), m_field(new QLineEdit(initial, this)), m_confirm(new PrimaryButton(action, this)),
      m_message(new QLabel(this))
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    setPalette(Palette::widgets());

    auto* heading = new QLabel(title, this);
    heading->setTextFormat(Qt::PlainText);
    heading->setFont(BundledFonts::font(18, QFont::Normal));

    m_field->setPlaceholderText(tr("Name"));
    m_field->setFixedWidth(300);
    m_field->setObjectName(u"nameSheet.field"_s);

    m_message->setObjectName(u"nameSheet.message"_s);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setFixedWidth(300);
    QPalette error = m_message->palette();
    error.setColor(QPalette::WindowText, Palette::errorText());
    m_message->setPalette(error);
    m_message->hide();

    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(u"nameSheet.cancel"_s);
    m_confirm->setObjectName(u"nameSheet.confirm"_s);
    // Return belongs to the field alone; a default button would commit a second time.
    for (QPushButton* button : {cancel, m_confirm}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(m_confirm);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(heading);
    layout->addWidget(m_field);
    layout->addWidget(m_message);
    layout->addLayout(buttons);

    auto enable = [this] { m_confirm->setEnabled(!Blanks::trimmed(m_field->text()).isEmpty()); };
    connect(m_field, &QLineEdit::textChanged, this, enable);
    // The message speaks of the name refused; an edit makes it a new one.
    connect(m_field, &QLineEdit::textEdited, m_message, &QWidget::hide);
    enable();
    connect(m_field, &QLineEdit::returnPressed, this, &NameSheet::commit);
    connect(m_confirm, &QPushButton::clicked, this, &NameSheet::commit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void NameSheet::commit()
{
    if (m_finished)
        return;
    const QString name = m_field->text();
    if (const std::optional<QString> refusal = m_check ? m_check(name) : std::nullopt) {
        m_message->setText(*refusal);
        m_message->show();
        m_field->setFocus();
        return;
    }
    accept();
    emit committed(name);
}

void NameSheet::done(int result)
{
    m_finished = true;
    QDialog::done(result);
}

} // namespace lumi
