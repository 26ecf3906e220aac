#pragma once

class QAbstractButton;

namespace lumi {

/// The look of the banner's link button: a lavender capsule with dark text that turns white while
/// pressed, kept at its natural size.
class BannerActionStyle final
{
public:
    BannerActionStyle() = delete;

    static void apply(QAbstractButton& button);
};

} // namespace lumi
