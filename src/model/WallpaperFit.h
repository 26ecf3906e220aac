#pragma once

#include <QString>

#include <optional>

namespace lumi {

// How the wallpaper composition places a photo: the "fit_desktop" setting.
class WallpaperFit final
{
public:
    enum Case { fit, fill };

    constexpr WallpaperFit(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    // Exact match of the stored text; none for anything else.
    static std::optional<WallpaperFit> fromValue(QStringView value);

    QString value() const;

private:
    Case m_case;
};

} // namespace lumi
