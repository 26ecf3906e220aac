#include "Fault.h"

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

bool Fault::matches(const QByteArray& requestMethod, const QByteArray& requestPath) const
{
    if (method != "*" && method != requestMethod)
        return false;
    return prefix ? requestPath.startsWith(path) : requestPath == path;
}

std::optional<Fault> Fault::fromJson(const QJsonObject& described, QString* problem)
{
    Fault fault;
    fault.described = described;
    fault.method = described.value(u"method"_s).toString(u"*"_s).toUpper().toLatin1();
    const QString path = described.value(u"path"_s).toString();
    if (!path.startsWith(u'/')) {
        *problem = u"\"path\" must be a raw path starting with \"/\"."_s;
        return std::nullopt;
    }
    fault.prefix = path.endsWith(u'*');
    fault.path = (fault.prefix ? path.chopped(1) : path).toLatin1();

    if (described.contains(u"status"_s)) {
        const int status = described.value(u"status"_s).toInt(-1);
        if (status < 100 || status > 599) {
            *problem = u"\"status\" must be an HTTP status code."_s;
            return std::nullopt;
        }
        fault.status = status;
    }
    if (described.value(u"body"_s).isString())
        fault.body = described.value(u"body"_s).toString().toUtf8();
    fault.contentType = described.value(u"contentType"_s).toString(u"application/json"_s).toLatin1();
    fault.delayMs = std::max(0, described.value(u"delayMs"_s).toInt());
    fault.drop = described.value(u"drop"_s).toBool();
    fault.photo = described.value(u"photo"_s).toString();
    if (!fault.photo.isEmpty() && fault.photo != u"short" && fault.photo != u"missing") {
        *problem = u"\"photo\" must be \"short\" or \"missing\"."_s;
        return std::nullopt;
    }
    fault.padTo = std::max<qsizetype>(0, qsizetype(described.value(u"padTo"_s).toDouble()));
    fault.redirect = described.value(u"redirect"_s).toString().toUtf8();
    if (described.contains(u"times"_s)) {
        fault.remaining = described.value(u"times"_s).toInt(-1);
        if (fault.remaining < 1) {
            *problem = u"\"times\" must be a positive number."_s;
            return std::nullopt;
        }
    }
    return fault;
}

} // namespace lumi::sandbox
