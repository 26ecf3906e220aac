#pragma once

#include "wallpaper/RotationAccount.h"

#include <QPointer>

namespace lumi {

class AppModel;

/// The application model as the rotation reads it, held weakly: once the model is gone nobody
/// counts as signed in.
class AppModelAccount final : public RotationAccount
{
public:
    explicit AppModelAccount(AppModel* model = nullptr);

    /// The model is made after the rotation it is handed.
    void attach(AppModel* model);

    bool isSignedIn() const override;
    const std::optional<User>& user() const override;
    const QList<Album>& albums() const override;
    void setAlert(std::optional<QString> alert) override;

private:
    QPointer<AppModel> m_model;
};

} // namespace lumi
