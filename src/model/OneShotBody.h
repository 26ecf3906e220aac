#pragma once

#include <QByteArray>
#include <QIODevice>

namespace lumi {

/// A request body that can be read only once. Qt resends a request whose connection closed
/// without an answer, but only after rewinding its body; this one refuses to rewind, so Qt fails
/// the request instead and a call that changes something on the server goes out at most once.
class OneShotBody final : public QIODevice
{
public:
    explicit OneShotBody(QByteArray bytes, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_read = 0;
};

} // namespace lumi
