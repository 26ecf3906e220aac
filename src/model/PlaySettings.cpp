#include "model/PlaySettings.h"

#include "model/SaverPause.h"

using namespace Qt::StringLiterals;

namespace lumi {

PlaySettings PlaySettings::forUser(const std::optional<User>& user)
{
    if (!user)
        return PlaySettings();
    PlaySettings settings;
    settings.pauseSeconds = SaverPause::fromSetting(user->saverPause).seconds();
    settings.shuffle = user->saverRandom == true;
    settings.crop = user->saverFit == true;
    settings.showTitles = user->saverTitle != u"none"_s;
    return settings;
}

} // namespace lumi
