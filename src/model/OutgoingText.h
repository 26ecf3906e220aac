#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// Text that leaves this computer for the service (crash records, the support log): the home
/// folder's path becomes "~", so neither it nor the user's name goes along, and the session token
/// becomes "[token]".
class OutgoingText final
{
public:
    OutgoingText() = delete;

    static QString scrubbed(QString text, const std::optional<QString>& token);
};

} // namespace lumi
