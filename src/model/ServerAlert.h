#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

// A banner message announced by the server; only ever decoded.
struct ServerAlert final
{
    std::optional<QString> uuid{};
    std::optional<QString> title{};
    std::optional<QStringList> lines{};
    std::optional<QString> linkTitle{};
    std::optional<QString> link{};

    static std::optional<ServerAlert> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const ServerAlert&) const = default;
};

// Answer of the alerts request; the service keys the alert by platform, "linux" for this client.
struct AlertsResponse final
{
    std::optional<ServerAlert> alert{};

    static std::optional<AlertsResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const AlertsResponse&) const = default;
};

} // namespace lumi
