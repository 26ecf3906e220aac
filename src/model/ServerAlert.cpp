#include "model/ServerAlert.h"

#include "model/JsonReader.h"

namespace lumi {

std::optional<ServerAlert> ServerAlert::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    ServerAlert alert;
    alert.uuid = reader.optionalString(u"uuid");
    alert.title = reader.optionalString(u"title");
    alert.lines = reader.optionalStringList(u"lines");
    alert.linkTitle = reader.optionalString(u"link_title");
    alert.link = reader.optionalString(u"link");
    if (!reader.finish(error))
        return std::nullopt;
    return alert;
}

std::optional<AlertsResponse> AlertsResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    AlertsResponse response{reader.optionalRecord<ServerAlert>(u"linux")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

} // namespace lumi
