#include "model/OneShotBody.h"

#include <cstring>

namespace lumi {

OneShotBody::OneShotBody(QByteArray bytes, QObject* parent) : QIODevice(parent), m_bytes(std::move(bytes))
{
    open(QIODevice::ReadOnly);
}

qint64 OneShotBody::bytesAvailable() const
{
    return m_bytes.size() - m_read + QIODevice::bytesAvailable();
}

qint64 OneShotBody::readData(char* data, qint64 maxSize)
{
    const qint64 count = std::min(maxSize, qint64(m_bytes.size()) - m_read);
    // -1 at the end: a sequential device that returns 0 would be waited on for more.
    if (count <= 0)
        return maxSize > 0 ? -1 : 0;
    std::memcpy(data, m_bytes.constData() + m_read, size_t(count));
    m_read += count;
    return count;
}

} // namespace lumi
