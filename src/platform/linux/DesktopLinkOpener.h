#pragma once

#include "platform/LinkOpener.h"

namespace lumi {

/// Hands links to the desktop's default browser through the portal or xdg-open.
class DesktopLinkOpener final : public LinkOpener
{
public:
    bool open(const QUrl& url) override;
};

} // namespace lumi
