#include "player/windows/GalleryView.h"

#include "imaging/BundledFonts.h"
#include "model/Clock.h"
#include "player/PlayerModel.h"
#include "player/PlayerStage.h"
#include "player/PlayerTask.h"
#include "player/windows/GalleryBarButton.h"
#include "player/windows/StageWidget.h"

#include <QActionGroup>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

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

// SwiftUI-like timing curves: the bar eases out as it comes and eases in as it goes.
QEasingCurve bezier(QPointF first, QPointF second)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(first, second, QPointF(1, 1));
    return curve;
}

const QEasingCurve& easeOut()
{
    static const QEasingCurve curve = bezier(QPointF(0, 0), QPointF(0.58, 1));
    return curve;
}

const QEasingCurve& easeIn()
{
    static const QEasingCurve curve = bezier(QPointF(0.42, 0), QPointF(1, 1));
    return curve;
}

// The menu draws dark like the bar it opens from.
QPalette darkMenu(QPalette palette)
{
    palette.setColor(QPalette::Window, QColor(40, 40, 43));
    palette.setColor(QPalette::Base, QColor(40, 40, 43));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Button, QColor(40, 40, 43));
    palette.setColor(QPalette::Highlight, QColor(10, 132, 255));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(255, 255, 255, 110));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(255, 255, 255, 110));
    return palette;
}

} // namespace

GalleryView::GalleryView(PlayerModel& model, Clock& clock, std::function<void()> done, QWidget* parent)
    : QWidget(parent), m_model(model), m_clock(clock), m_done(std::move(done)),
      m_stage(new PlayerStage(model, this)), m_stageWidget(new StageWidget(*m_stage, clock, this)),
      m_bar(makeBar()), m_barOpacity(new QGraphicsOpacityEffect(m_bar))
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
    using Symbol = GalleryBarButton::Symbol;
    auto* previous = new GalleryBarButton(Symbol::previous, tr("Previous"), bar);
    m_playPause = new GalleryBarButton(Symbol::pause, tr("Pause"), bar);
    auto* next = new GalleryBarButton(Symbol::next, tr("Next"), bar);
    auto* close = new GalleryBarButton(Symbol::close, tr("Close"), bar);

    m_modeMenu = new GalleryBarButton(bar);
    m_modeMenu->setPopupMode(QToolButton::InstantPopup);
    m_modeMenu->setFont(BundledFonts::font(14, QFont::Normal));
    auto* menu = new QMenu(tr("Mode"), m_modeMenu);
    menu->setPalette(darkMenu(menu->palette()));
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

    for (QWidget* item : std::initializer_list<QWidget*>{previous, m_playPause, next, m_modeMenu, close})
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
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove ||
        event->type() == QEvent::Leave)
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
    m_bar->setGeometry((width() - size.width()) / 2, height() - barBottom - size.height(), size.width(),
                       size.height());
    m_bar->raise();
}

void GalleryView::reveal()
{
    m_bar->show();
    if (m_fadeTo < 1)
        fadeTo(1, fadeIn, easeOut());
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
    fadeTo(0, fadeOut, easeIn());
}

void GalleryView::fadeTo(qreal opacity, std::chrono::milliseconds duration, const QEasingCurve& curve)
{
    m_fadeCurve = curve;
    // From wherever a fade the other way got to.
    m_fadeFrom = m_barOpacity->opacity();
    m_fadeTo = opacity;
    m_fadeStart = m_clock.monotonic();
    m_fadeDuration = duration;
    m_fadeFrames.start();
}

void GalleryView::fadeFrame()
{
    const qreal done = std::clamp(
        qreal((m_clock.monotonic() - m_fadeStart).count()) / qreal(m_fadeDuration.count()), 0.0, 1.0);
    m_barOpacity->setOpacity(m_fadeFrom + (m_fadeTo - m_fadeFrom) * m_fadeCurve.valueForProgress(done));
    if (done < 1)
        return;
    m_fadeFrames.stop();
    if (m_fadeTo == 0)
        m_bar->hide();
}

void GalleryView::showPaused()
{
    const bool paused = m_model.isPaused();
    m_playPause->setSymbol(paused ? GalleryBarButton::Symbol::play : GalleryBarButton::Symbol::pause);
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
