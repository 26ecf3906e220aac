#pragma once

#include "model/Account.h"

#include <functional>

namespace lumi::test {

/// Changes the account's user, as a refresh from the service would; the account must hold one.
void editUser(Account& account, const std::function<void(User&)>& edit);
/// Changes the account's playlist with this id; a missing one ends the test run.
void editAlbum(Account& account, qint64 id, const std::function<void(Album&)>& edit);

} // namespace lumi::test
