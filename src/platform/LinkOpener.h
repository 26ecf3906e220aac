#pragma once

#include <QUrl>

namespace lumi {

/// Opens a web link in the user's browser.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;

    /// False when no program took the link.
    virtual bool open(const QUrl& url) = 0;
};

} // namespace lumi
