#pragma once

#include "library/SyncSource.h"
#include "wallpaper/RotationAccount.h"

#include <QPointer>

namespace lumi {

class AppModel;

/// The application model as the rotation and the playlist sync read it, held weakly: once the
/// model is gone nobody counts as signed in.
class AppModelAccount final : public RotationAccount, public SyncSource
{
public:
    explicit AppModelAccount(AppModel* model = nullptr);

    /// The model is made after the rotation and the sync it is handed to.
    void attach(AppModel* model);

    bool isSignedIn() const override;
    const std::optional<User>& user() const override;
    const QList<Album>& albums() const override;
    void setAlert(std::optional<QString> alert) override;
    bool albumsLoaded() const override;
    void resetPhotoPools() override;

private:
    QPointer<AppModel> m_model;
};

} // namespace lumi
