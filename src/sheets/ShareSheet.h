#pragma once

#include "model/Medium.h"

#include <QCoroTask>
#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace lumi {

class AppModel;
class LinkOpener;

/// Sends one catalog photo by e-mail through the service, which keeps nothing of the address.
/// A failure shows in red and keeps the fields; a success closes the sheet and hands "Sent to
/// <address>" to sent. A send outlives the sheet: closed meanwhile, sent is still called on
/// success, so whatever sent captures must guard itself.
class ShareSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShareSheet)

public:
    using Sent = std::function<void(QString)>;

    static constexpr int emailLimit = 254;
    static constexpr int messageLimit = 1000;

    ShareSheet(AppModel& model, LinkOpener& links, Medium medium, Sent sent, QWidget* parent = nullptr);

    bool isSending() const { return m_sending; }

private:
    void send();
    void updateSend();
    void finish(std::optional<QString> failure);
    static QCoro::Task<void> deliver(QPointer<ShareSheet> sheet, AppModel& model, Medium medium,
                                     QString address, QString message, Sent sent);

    AppModel& m_model;
    Medium m_medium;
    Sent m_sent;
    bool m_sending = false;
    QLineEdit* m_email;
    QPlainTextEdit* m_message;
    QLabel* m_failure;
    QProgressBar* m_progress;
    QPushButton* m_send;
};

} // namespace lumi
