#include "widgets/TourCallout.h"

#include "imaging/BundledFonts.h"
#include "state/Guidance.h"
#include "widgets/Palette.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QLabel* text(const QString& content, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(content, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(u"color: %1;"_s.arg(color.name()));
    return label;
}

} // namespace

const QList<TourCallout::Step>& TourCallout::steps()
{
    static const QList<Step> table{
        {tr("Welcome to Lumivale"),
         tr("Browse photos by collection on the left. The house and list buttons above it switch between the "
            "collections and your playlists; Play starts a slideshow, Stories or the screen saver.")},
        {tr("Use a photo"),
         tr("Under each photo: make it your wallpaper, add it to Favorites with the star, add it to a "
            "playlist "
            "with +, or share it. Right-click a photo for more, or double-click it to play from there.")},
        {tr("Choose what rotates"),
         tr("In Playlists, a checked circle puts a playlist in your wallpaper rotation, changing as often as "
            "Settings says. A checked square puts it in the Lumivale screen saver. Click them to switch.")},
        {tr("Settings and help"), tr("The gear opens Settings. The Lumivale icon in the system tray has the "
                                     "next wallpaper, the screen "
                                     "saver and this tour.")},
    };
    return table;
}

TourCallout::TourCallout(Guidance& guidance, int step, QWidget* parent)
    : QWidget(parent), m_guidance(guidance)
{
    setFixedWidth(calloutWidth);
    const Step& shown = steps().at(qBound(0, step, stepCount - 1));
    const QFont regular = BundledFonts::font(13, QFont::Normal);

    QLabel* title = text(shown.title, BundledFonts::font(15, QFont::DemiBold), Palette::dark(), this);
    title->setObjectName(u"tour.title"_s);
    QLabel* body = text(shown.text, regular, Palette::dark(), this);
    body->setObjectName(u"tour.text"_s);
    body->setWordWrap(true);

    auto* skip = new QPushButton(tr("Skip Tour"), this);
    skip->setObjectName(u"tour.skip"_s);
    skip->setFlat(true);
    skip->setFont(regular);
    skip->setStyleSheet(
        u"QPushButton { color: %1; border: none; background: transparent; }"_s.arg(Palette::muted().name()));
    connect(skip, &QPushButton::clicked, this, [this] { m_guidance.endTour(); });

    QLabel* counter = text(tr("%1 of %2").arg(step + 1).arg(stepCount), BundledFonts::font(12, QFont::Normal),
                           Palette::muted(), this);
    counter->setObjectName(u"tour.counter"_s);

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->setContentsMargins(0, 2, 0, 0);
    row->addWidget(skip);
    row->addStretch();
    row->addWidget(counter);
    row->addStretch();
    if (step >= 1) {
        auto* back = new QPushButton(tr("Back"), this);
        back->setObjectName(u"tour.back"_s);
        back->setFont(regular);
        connect(back, &QPushButton::clicked, this, &TourCallout::back);
        row->addWidget(back);
    }
    m_next = new QPushButton(step + 1 == stepCount ? tr("Done") : tr("Next"), this);
    m_next->setObjectName(u"tour.next"_s);
    m_next->setFont(regular);
    m_next->setDefault(true);
    m_next->setStyleSheet(u"QPushButton { background: %1; color: white; border: none; border-radius: 5px;"
                          " padding: 4px 12px; }"_s.arg(Palette::dark().name()));
    connect(m_next, &QPushButton::clicked, this, &TourCallout::next);
    row->addWidget(m_next);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(body);
    layout->addLayout(row);
}

void TourCallout::back()
{
    const std::optional<int> step = m_guidance.tourStep();
    if (step && *step >= 1)
        m_guidance.showTourStep(*step - 1, Guidance::tourStepDelay);
}

void TourCallout::next()
{
    const std::optional<int> step = m_guidance.tourStep();
    if (!step)
        return;
    if (*step + 1 < stepCount)
        m_guidance.showTourStep(*step + 1, Guidance::tourStepDelay);
    else
        m_guidance.endTour();
}

void TourCallout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_next->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace lumi
