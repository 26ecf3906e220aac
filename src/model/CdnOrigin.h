#pragma once

#include <QString>

namespace lumi {

/// Where the catalog's photos are served: the production CDN, or the "/cdn" path of the service
/// the API address was pointed at (the local stand-in in tests and demos).
class CdnOrigin final
{
public:
    CdnOrigin() = delete;

    /// Without a trailing "/": a photo's variant is base() + "/" + id + "/" + variant.
    static QString base();
};

} // namespace lumi
