#include "imaging/ImagingThread.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <malloc.h>

#include <atomic>

namespace lumi {

namespace {

class OneThread final : public QThreadPool
{
public:
    OneThread()
    {
        setMaxThreadCount(1);
        // Never ended when idle: a thread started anew takes whichever heap is free, and its start
        // would wake the idle app.
        setExpiryTimeout(-1);
        // Ended with the application, while the parts of Qt the thread used are still there.
        qAddPostRoutine([] { ImagingThread::pool().waitForDone(); });
    }
};

std::atomic<bool> trimQueued{false};

} // namespace

QThreadPool& ImagingThread::pool()
{
    static OneThread thread;
    return thread;
}

void ImagingThread::trim()
{
    if (trimQueued.exchange(true))
        return;
    pool().start([] {
        trimQueued = false;
        malloc_trim(0);
    });
}

} // namespace lumi
