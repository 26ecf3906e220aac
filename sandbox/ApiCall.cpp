#include "ApiCall.h"

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

bool ApiCall::is(const char* expectedMethod, const QStringList& path) const
{
    return method == expectedMethod && segments == path;
}

QString ApiCall::queryValue(const QString& name) const
{
    for (const auto& [key, value] : query) {
        if (key == name)
            return value;
    }
    return {};
}

bool ApiCall::hasQueryItem(const QString& name) const
{
    return std::any_of(query.begin(), query.end(), [&name](const auto& item) { return item.first == name; });
}

int ApiCall::queryNumber(const QString& name, int fallback, int max) const
{
    bool ok = false;
    const int value = queryValue(name).toInt(&ok);
    return ok && value > 0 ? std::min(value, max) : fallback;
}

QString ApiCall::bodyText(const QString& key) const
{
    return body.value(key).toString();
}

HttpResponse ApiCall::unauthorized()
{
    return HttpResponse::error(401, u"You need to sign in first."_s);
}

HttpResponse ApiCall::notFound(const QString& message)
{
    return HttpResponse::error(404, message);
}

HttpResponse ApiCall::invalid(const QString& message, const QString& code)
{
    return HttpResponse::error(422, message, code);
}

HttpResponse ApiCall::ok(const QString& status)
{
    return HttpResponse::json(QJsonObject{{u"status"_s, status}});
}

} // namespace lumi::sandbox
