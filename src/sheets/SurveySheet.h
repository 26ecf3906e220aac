#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;

namespace lumi {

class Account;
class Guidance;

/// Asks how likely the user is to recommend the app (1 to 10), with an optional address and
/// comment. Both answers close it by clearing the guidance's request; only "Submit" sends anything,
/// and the guidance reports the outcome later as a notice.
class SurveySheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SurveySheet)

public:
    static constexpr int emailLimit = 254;
    static constexpr int commentLimit = 2000;

    /// The address field starts from the account's.
    SurveySheet(Guidance& guidance, const Account& account, QWidget* parent = nullptr);

    /// The chosen score as decimal text; empty while none is chosen.
    QString score() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void submit();

    Guidance& m_guidance;
    const Account& m_account;
    QLineEdit* m_email;
    QButtonGroup* m_scores;
    QPlainTextEdit* m_comment;
};

} // namespace lumi
