#include "player/windows/GalleryView.h"

#include "imaging/BundledFonts.h"
#include "model/Clock.h"
#include "player/PlayerModel.h"
#include "player/PlayerStage.h"
#include "player/PlayerTask.h"
#include "player/windows/StageWidget.h"

#include <QActionGroup>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr auto hideDelay = 3s;
constexpr auto fadeIn = 200ms;
constexpr auto fadeOut = 400ms;
constexpr auto frameInterval = 16ms;
constexpr int barSpacing = 22;
constexpr int barBottom = 34;

/// The bar's dark, rounded-capsule background.
class CapsuleBar final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath capsule;
        capsule.addRoundedRect(QRectF(rect()), height() / 2.0, height() / 2.0);
        painter.fillPath(capsule, QColor(28, 28, 30, 190));
    }
};

QToolButton* barButton(QWidget* parent, const QString& tip, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(QSize(18, 18));
    button->setFixedSize(28, 28);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

QIcon themed(const QString& name, QStyle::StandardPixmap fallback, const QWidget* widget)
{
    return QIcon::fromTheme(name, widget->style()->standardIcon(fallback));
}

} // namespace

GalleryView::GalleryView(PlayerModel& model, Clock& clock, std::function<void()> done, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_clock(clock)
    , m_done(std::move(done))
    , m_stage(new PlayerStage(model, this))
    , m_stageWidget(new StageWidget(*m_stage, clock, this))
    , m_bar(makeBar())
    , m_barOpacity(new QGraphicsOpacityEffect(m_bar))
{
    m_barOpacity->setOpacity(0);
    m_bar->setGraphicsEffect(m_barOpacity);
    m_fadeFrames.setInterval(frameInterval);
    connect(&m_fadeFrames, &QTimer::timeout, this, &GalleryView::fadeFrame);
    setMouseTracking(true);
    m_stageWidget->installEventFilter(this);
    installEventFilter(this);
    connect(&model, &PlayerModel::pausedChanged, this, &GalleryView::showPaused);
    connect(&model, &PlayerModel::modeChanged, this, &GalleryView::showMode);
    showPaused();
    showMode();
    reveal();
}

GalleryView::~GalleryView()
{
    if (m_hide)
        m_hide->cancel();
}

QWidget* GalleryView::makeBar()
{
    auto* bar = new CapsuleBar(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(22, 12, 22, 12);
    row->setSpacing(barSpacing);
    QPalette dark = bar->palette();
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    bar->setPalette(dark);

    QToolButton* previous =
        barButton(bar, tr("Previous"), themed(u"media-skip-backward"_s, QStyle::SP_MediaSkipBackward, bar));
    m_playPause = barButton(bar, QString(), QIcon());
    QToolButton* next = barButton(bar, tr("Next"), themed(u"media-skip-forward"_s, QStyle::SP_MediaSkipForward, bar));
    QToolButton* close = barButton(bar, tr("Close"), themed(u"window-close"_s, QStyle::SP_TitleBarCloseButton, bar));

    m_modeMenu = new QToolButton(bar);
    m_modeMenu->setAutoRaise(true);
    m_modeMenu->setPopupMode(QToolButton::InstantPopup);
    m_modeMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_modeMenu->setFont(BundledFonts::font(14, QFont::Normal));
    auto* menu = new QMenu(tr("Mode"), m_modeMenu);
    auto* choices = new QActionGroup(menu);
    QList<PlayMode> modes{PlayMode::slideshow(), PlayMode::infoshow()};
    for (const SaverEffect effect : SaverEffect::all())
        modes.append(PlayMode::saver(effect));
    for (const PlayMode& mode : modes) {
        if (mode == PlayMode::saver(SaverEffect::all().first()))
            menu->addSeparator();
        QAction* choice = menu->addAction(mode.title());
        choice->setCheckable(true);
        choice->setData(mode.text());
        choices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, mode] { m_model.setMode(mode); });
    }
    m_modeMenu->setMenu(menu);

    for (QWidget* item : {static_cast<QWidget*>(previous), static_cast<QWidget*>(m_playPause),
                          static_cast<QWidget*>(next), static_cast<QWidget*>(m_modeMenu), static_cast<QWidget*>(close)})
        row->addWidget(item);

    // Each press is its own step; the press itself returns at once.
    connect(previous, &QToolButton::clicked, this, [this] { PlayerTask::start(m_model.step(false)); });
    connect(next, &QToolButton::clicked, this, [this] { PlayerTask::start(m_model.step(true)); });
    connect(m_playPause, &QToolButton::clicked, this, [this] { m_model.setPaused(!m_model.isPaused()); });
    connect(close, &QToolButton::clicked, this, [this] {
        if (m_done)
            m_done();
    });
    bar->installEventFilter(this);
    return bar;
}

qreal GalleryView::controlsOpacity() const
{
    return m_bar->isHidden() ? 0 : m_barOpacity->opacity();
}

bool GalleryView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove || event->type() == QEvent::Leave)
        reveal();
    return QWidget::eventFilter(watched, event);
}

void GalleryView::resizeEvent(QResizeEvent*)
{
    m_stageWidget->setGeometry(rect());
    placeBar();
}

void GalleryView::placeBar()
{
    m_bar->adjustSize();
    const QSize size = m_bar->sizeHint();
    m_bar->setGeometry((width() - size.width()) / 2, height() - barBottom - size.height(), size.width(), size.height());
    m_bar->raise();
}

void GalleryView::reveal()
{
    m_bar->show();
    if (m_fadeTo < 1)
        fadeTo(1, fadeIn);
    if (m_hide)
        m_hide->cancel();
    m_hide = CancelToken();
    PlayerTask::start(hideLater(*m_hide));
}

QCoro::Task<void> GalleryView::hideLater(CancelToken cancel)
{
    const QPointer<GalleryView> self(this);
    co_await m_clock.sleep(hideDelay, cancel);
    if (!self || cancel.isCancelled())
        co_return;
    fadeTo(0, fadeOut);
}

void GalleryView::fadeTo(qreal opacity, std::chrono::milliseconds duration)
{
    // From wherever a fade the other way got to.
    m_fadeFrom = m_barOpacity->opacity();
    m_fadeTo = opacity;
    m_fadeStart = m_clock.monotonic();
    m_fadeDuration = duration;
    m_fadeFrames.start();
}

void GalleryView::fadeFrame()
{
    const qreal done =
        std::clamp(qreal((m_clock.monotonic() - m_fadeStart).count()) / qreal(m_fadeDuration.count()), 0.0, 1.0);
    m_barOpacity->setOpacity(m_fadeFrom + (m_fadeTo - m_fadeFrom) * done);
    if (done < 1)
        return;
    m_fadeFrames.stop();
    if (m_fadeTo == 0)
        m_bar->hide();
}

void GalleryView::showPaused()
{
    const bool paused = m_model.isPaused();
    m_playPause->setIcon(paused ? themed(u"media-playback-start"_s, QStyle::SP_MediaPlay, this)
                                : themed(u"media-playback-pause"_s, QStyle::SP_MediaPause, this));
    m_playPause->setToolTip(paused ? tr("Play") : tr("Pause"));
    m_playPause->setAccessibleName(m_playPause->toolTip());
}

void GalleryView::showMode()
{
    m_modeMenu->setText(m_model.mode().title());
    for (QAction* choice : m_modeMenu->menu()->actions())
        choice->setChecked(choice->data().toString() == m_model.mode().text());
    placeBar();
}

} // namespace lumi
