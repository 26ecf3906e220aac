#pragma once

#include "services/UpdateCheck.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

namespace lumi {

class LinkOpener;

/// Offers a newer version the background check found: "Download…" opens its page in the browser,
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
    QMessageBox* box() const { return m_box; }

private:
    LinkOpener& m_links;
    QPointer<QMessageBox> m_box;
};

} // namespace lumi
