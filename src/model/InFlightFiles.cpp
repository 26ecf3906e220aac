#include "model/InFlightFiles.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace lumi {

namespace {

QMutex& lock()
{
    static QMutex mutex;
    return mutex;
}

// Path to the number of claims on it.
QHash<QString, int>& listed()
{
    static QHash<QString, int> paths;
    return paths;
}

} // namespace

InFlightFiles::Claim::Claim(QString path) : m_path(std::move(path))
{
    const QMutexLocker locker(&lock());
    ++listed()[m_path];
}

InFlightFiles::Claim::~Claim()
{
    const QMutexLocker locker(&lock());
    if (--listed()[m_path] <= 0)
        listed().remove(m_path);
}

int InFlightFiles::removeAll()
{
    const QMutexLocker locker(&lock());
    int removed = 0;
    for (auto it = listed().cbegin(); it != listed().cend(); ++it) {
        // unlink(2): a link at the path goes, never what it points to.
        if (QFile::remove(it.key()))
            ++removed;
    }
    return removed;
}

} // namespace lumi
