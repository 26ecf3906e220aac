#include "wallpaper/AppModelAccount.h"

#include "state/AppModel.h"

namespace lumi {

namespace {

const std::optional<User> noUser;
const QList<Album> noAlbums;

} // namespace

AppModelAccount::AppModelAccount(AppModel* model) : m_model(model) {}

void AppModelAccount::attach(AppModel* model)
{
    m_model = model;
}

bool AppModelAccount::isSignedIn() const
{
    return m_model && m_model->isSignedIn();
}

const std::optional<User>& AppModelAccount::user() const
{
    return m_model ? m_model->user() : noUser;
}

const QList<Album>& AppModelAccount::albums() const
{
    return m_model ? m_model->albums() : noAlbums;
}

void AppModelAccount::setAlert(std::optional<QString> alert)
{
    if (m_model)
        m_model->setAlert(std::move(alert));
}

bool AppModelAccount::albumsLoaded() const
{
    return m_model && m_model->albumsLoaded();
}

void AppModelAccount::resetPhotoPools()
{
    if (m_model)
        m_model->resetPhotoPools();
}

} // namespace lumi
