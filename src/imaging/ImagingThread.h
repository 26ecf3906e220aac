#pragma once

class QThreadPool;

namespace lumi {

/// The one thread that decodes, composes and encodes wallpapers. The C library gives every thread
/// that allocates a heap (arena) of its own and keeps what is freed there for that thread's next
/// picture; spread over Qt's shared pool, each thread that once held a wallpaper's megabytes kept
/// its share while the app idled in the tray. Here every change reuses one heap, on a thread that
/// never ends, and trim() hands what the heaps keep back to the system once a change is over.
/// Work runs in the order it was queued, one piece at a time. Safe on any thread.
class ImagingThread final
{
public:
    ImagingThread() = delete;

    /// Where image work runs: QtConcurrent::run(&ImagingThread::pool(), …).
    static QThreadPool& pool();
    /// Queues, behind the work queued so far, the return to the system of the memory freed in
    /// every thread's heap. A trim already waiting covers this one too. Nothing to wait for.
    static void trim();
};

} // namespace lumi
