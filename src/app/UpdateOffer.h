#pragma once

#include "model/AppLog.h"
#include "services/UpdateCheck.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

namespace lumi {

class LinkOpener;

/// Offers a newer version the background check found: its release notes as plain text,
/// "Download…" opens its page in the browser (only an https page, or http to this machine),
/// "Later" closes the offer. Never modal; a newer offer replaces one still shown.
class UpdateOffer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateOffer)

public:
    explicit UpdateOffer(LinkOpener& links, QObject* parent = nullptr);
    ~UpdateOffer() override;

    void offer(const UpdateCheck& update);
    /// The offer on screen, if any.
    QDialog* dialog() const { return m_dialog; }

private:
    LinkOpener& m_links;
    QPointer<QDialog> m_dialog;
    AppLog m_log{QStringLiteral("update")};
};

} // namespace lumi
