#pragma once

#include "model/CancelToken.h"

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

namespace lumi {

/// One call of the service's REST API. The query is a QMap, so its items go out sorted by name.
struct APIRequest
{
    QString method;
    QString path; ///< relative to the base URL, without a leading "/"
    QMap<QString, QString> query;
    std::optional<QJsonObject> body;
    bool authenticated = true;
    CancelToken cancel;
    /// A longer answer is cut off and fails: the service's text never decides how much memory
    /// the app spends.
    qint64 maxBodyBytes = 4 * 1024 * 1024;
};

} // namespace lumi
