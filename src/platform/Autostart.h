#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// Whether the desktop session starts this app when the user logs in.
class Autostart
{
public:
    virtual ~Autostart() = default;

    /// True only when the session will start this very program at login.
    virtual bool isEnabled() const = 0;
    /// Adds or removes the login entry; the reason when that failed, none on success.
    virtual std::optional<QString> setEnabled(bool enabled) = 0;
};

} // namespace lumi
