#pragma once

#include "model/CancelToken.h"
#include "state/SaverPlayer.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <chrono>
#include <optional>

class QRandomGenerator;
class QScreen;

namespace lumi {

class Clock;
class Defaults;
class GalleryWindow;
class InputActivity;
class PhotoImageSource;
class PlayerModel;
class SaverWindow;

/// Puts the player on screen: the saver as a window on every screen, each with its own play
/// model and effect, the pointer hidden and the keyboard and pointer grabbed, ended by any key,
/// click or scroll and by a deliberate pointer move; or the gallery in one full-screen window.
class PlayerController final : public QObject, public SaverPlayer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerController)

public:
    struct Services
    {
        PhotoImageSource& photos;
        Clock& clock;
        Defaults& defaults;
        /// Presses the saver's own windows never see (another client's grab).
        InputActivity& input;
        /// Draws each screen's effect when none is given, and the shuffled orders.
        QRandomGenerator& random;
    };

    /// A pointer move ends the saver only this long after the start and beyond this distance.
    static constexpr std::chrono::milliseconds moveGrace{1500};
    static constexpr qreal moveDistance = 12;
    /// How often presses elsewhere are looked at, and how long after the start they count.
    static constexpr std::chrono::milliseconds watchInterval{500};
    static constexpr std::chrono::milliseconds pressGrace{300};
    /// The gallery leaves full screen before it is hidden.
    static constexpr std::chrono::milliseconds galleryHideDelay{800};
    /// Screens wider than this (in pixels) play the large variants.
    static constexpr int largeWidth = 1920;

    /// The services outlive the controller.
    explicit PlayerController(Services services, QObject* parent = nullptr);
    ~PlayerController() override;

    bool isShowing() const override { return m_showing; }
    void startSaver(QList<Medium> media, std::optional<SaverEffect> effect, PlaySettings settings) override;
    void showGallery(QList<Medium> media, int start, PlayMode mode, PlaySettings settings) override;
    void stop() override;

    /// The saver's windows, in screen order, while the saver shows.
    QList<SaverWindow*> saverWindows() const;
    /// The gallery's window while it shows.
    GalleryWindow* galleryWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<PlayerModel> makeModel(PlayMode mode, PlaySettings settings, const QList<Medium>& media,
                                           int start, const QScreen* screen);
    /// stop(), logging what ended the show when the user's input did.
    void finish(const QString& cause);
    void grabInput();
    void pressedElsewhere();
    QCoro::Task<void> watchInput(CancelToken cancel);
    QCoro::Task<void> hideLater(QPointer<GalleryWindow> window);

    Services m_services;
    bool m_showing = false;
    bool m_saver = false;
    bool m_cursorHidden = false;
    QList<QPointer<SaverWindow>> m_saverWindows;
    QPointer<GalleryWindow> m_gallery;
    // Galleries leaving the screen.
    QList<QPointer<GalleryWindow>> m_retiring;
    std::chrono::milliseconds m_startedAt{0};
    QPoint m_mouseStart;
    std::optional<std::chrono::milliseconds> m_lastPress;
    using KeyStamp = std::pair<quint32, quint64>; // scan code, server time
    std::optional<KeyStamp> m_lastRelease;
    std::optional<CancelToken> m_watch;
    // Cancelled when the controller goes, so no delayed hide outlives it.
    CancelToken m_lifetime;
};

} // namespace lumi
