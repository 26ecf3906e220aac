#pragma once

#include "model/ServerAlert.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace lumi {

class AppModel;

/// The server's announcement as a dark rounded banner: title, text, an optional link button and a
/// close button. The text and the link button open the alert's link (only a link to the service's
/// own site, which the model checks) and dismiss the alert; the close button dismisses it without
/// opening anything. The server's texts are shown as plain text, never as markup. The banner is
/// visible exactly while the model holds an alert.
class AlertBanner final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertBanner)

public:
    AlertBanner(AppModel& model, QWidget* parent = nullptr);

    /// A server text as a button title shows it: "&" is no mnemonic.
    static QString buttonText(QString text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Shown while the model holds an alert, with that alert's texts.
    void sync();
    void setAlert(const ServerAlert& alert);
    void follow();
    void dismiss();

    AppModel& m_model;
    QWidget* m_textColumn = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_body = nullptr;
    QPushButton* m_link = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace lumi
