#pragma once

#include <QObject>

namespace lumi {

/// System-wide key combinations held for the app while any other application is in front.
class Hotkeys : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Hotkeys)

public:
    /// Refusal status of a combination another client holds.
    static constexpr int taken = 10;

    using QObject::QObject;
    ~Hotkeys() override = default;

    /// False where the desktop lets no application hold keys (Wayland); grab() then refuses all.
    virtual bool isSupported() const = 0;
    /// Holds the letter with the modifiers under the id, whatever lock keys are on. 0 when held;
    /// else the system's refusal status (`taken` when another client holds it), and nothing of
    /// the combination is held.
    virtual int grab(int id, Qt::Key letter, Qt::KeyboardModifiers modifiers) = 0;
    /// Lets go of the id's combination; an id not held is ignored.
    virtual void release(int id) = 0;
    /// Whether the id's combination is held now. A combination held once may be lost when the
    /// keyboard layout changes and another client has its new keys; it is then tried again at
    /// every later layout change until released.
    virtual bool isHeld(int id) const = 0;

signals:
    /// A held combination was pressed; the press reaches no other client.
    void pressed(int id);
};

} // namespace lumi
