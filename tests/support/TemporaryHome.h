#pragma once

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace lumi::test {

/// Points HOME and the XDG folders at a fresh temporary folder for the guard's lifetime, and gives
/// the shared log and settings store a fresh start inside it. Everything is restored on destruction.
class TemporaryHome final
{
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_saved;
};

} // namespace lumi::test
