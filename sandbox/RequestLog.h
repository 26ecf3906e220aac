#pragma once

#include <QJsonArray>

namespace lumi::sandbox {

struct HttpRequest;

// Every API and CDN request as it arrived, oldest first, for tests to read back.
class RequestLog final
{
public:
    void record(const HttpRequest& request);
    void clear() { m_entries = {}; }
    const QJsonArray& entries() const { return m_entries; }

private:
    QJsonArray m_entries;
};

} // namespace lumi::sandbox
