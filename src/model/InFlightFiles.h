#pragma once

#include <QString>

namespace lumi {

/// The temporary files being written right now: downloads' ".part" files and pictures being
/// encoded or copied under a temporary name. A writer that suspends resumes a turn of the event
/// loop later, and at quit there is no later turn, so the app removes what is still listed here
/// as it ends; the clean-up at the next start stays for a process that was killed. Safe on any
/// thread.
class InFlightFiles final
{
public:
    InFlightFiles() = delete;

    /// Lists the path from construction to destruction: for the time its file is being written.
    class Claim final
    {
    public:
        explicit Claim(QString path);
        ~Claim();
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;

    private:
        QString m_path;
    };

    /// Removes every file still listed (never following a link); how many went.
    static int removeAll();
};

} // namespace lumi
