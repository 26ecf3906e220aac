#include "sheets/SurveySheet.h"

#include "model/Account.h"
#include "sheets/SheetText.h"
#include "state/Guidance.h"
#include "widgets/Palette.h"
#include "widgets/TextLimit.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int scoreCount = 10;
constexpr int scoreSpacing = 4;
constexpr QSize scoreSize(34, 28);

QString scoreStyle()
{
    QColor unselected = Palette::lightGray();
    unselected.setAlphaF(0.6);
    return u"QPushButton { border: none; border-radius: 5px; color: %1; background: %2; }"
           "QPushButton:checked { color: white; background: %1; }"_s.arg(Palette::dark().name(),
                                                                         unselected.name(QColor::HexArgb));
}

} // namespace

SurveySheet::SurveySheet(Guidance& guidance, const Account& account, QWidget* parent)
    : QDialog(parent), m_guidance(guidance), m_account(account)
{
    setFixedWidth(460);
    QVBoxLayout* column = SheetText::frame(*this, tr("Survey"), 8);
    column->addSpacing(6);

    column->addWidget(SheetText::label(tr("Email address"), 14, Palette::dark(), this));
    m_email = new QLineEdit(this);
    m_email->setObjectName(u"survey.email"_s);
    TextLimit::apply(*m_email, emailLimit);
    column->addWidget(m_email);
    column->addWidget(
        SheetText::wrapped(tr("Without an email, we cannot help you with any problems you are having."), 12,
                           Palette::muted(), this));

    column->addSpacing(10);
    column->addWidget(SheetText::wrapped(tr("How likely are you to recommend this app to a friend?"), 14,
                                         Palette::dark(), this));
    auto* scores = new QHBoxLayout;
    scores->setSpacing(scoreSpacing);
    m_scores = new QButtonGroup(this);
    for (int score = 1; score <= scoreCount; ++score) {
        auto* button = new QPushButton(QString::number(score), this);
        button->setObjectName(u"survey.score.%1"_s.arg(score));
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setFixedSize(scoreSize);
        button->setStyleSheet(scoreStyle());
        m_scores->addButton(button, score);
        scores->addWidget(button);
    }
    scores->addStretch();
    column->addLayout(scores);
    auto* legend = new QHBoxLayout;
    legend->addWidget(SheetText::label(tr("1 - not recommended"), 12, Palette::dark(), this));
    legend->addStretch();
    legend->addWidget(SheetText::label(tr("10 - recommend"), 12, Palette::dark(), this));
    auto* legendRow = new QWidget(this);
    legendRow->setLayout(legend);
    legend->setContentsMargins(0, 0, 0, 0);
    legendRow->setFixedWidth(scoreCount * scoreSize.width() + (scoreCount - 1) * scoreSpacing);
    column->addWidget(legendRow);

    column->addSpacing(10);
    column->addWidget(SheetText::label(tr("Why?"), 14, Palette::dark(), this));
    m_comment = SheetText::editor(u"survey.comment"_s, this);
    TextLimit::apply(*m_comment, commentLimit);
    column->addWidget(m_comment);

    column->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // Declining rejects the sheet, and the main window's sheets clear the request of a rejected one.
    QPushButton* submit = SheetText::addAnswers(*this, *buttons, tr("Not Now"), u"survey.notNow"_s,
                                                tr("Submit"), u"survey.submit"_s);
    column->addLayout(buttons);
    connect(submit, &QPushButton::clicked, this, &SurveySheet::submit);
}

QString SurveySheet::score() const
{
    const int chosen = m_scores->checkedId();
    return chosen > 0 ? QString::number(chosen) : QString();
}

void SurveySheet::showEvent(QShowEvent* event)
{
    // Whatever the field held before, each showing starts from the account's address.
    const std::optional<User>& user = m_account.user();
    m_email->setText(user ? user->email.value_or(QString()) : QString());
    QDialog::showEvent(event);
}

void SurveySheet::submit()
{
    m_guidance.submitSurvey(m_email->text(), score(), m_comment->toPlainText());
    // Closes the sheet before the answers reach the service.
    m_guidance.setSurveyRequested(false);
}

} // namespace lumi
