#include "sheets/PhotoStoryView.h"

#include "imaging/BundledFonts.h"
#include "model/APIClient.h"
#include "model/AppLog.h"
#include "sheets/SheetText.h"
#include "sheets/Symbol.h"
#include "state/Guidance.h"
#include "state/WindowPresenter.h"
#include "widgets/Palette.h"
#include "widgets/PictureFrame.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

bool hasText(const std::optional<QString>& text)
{
    return text && !text->isEmpty();
}

} // namespace

PhotoStoryView::PhotoStoryView(APIClient& api, Guidance& guidance, WindowPresenter& mainWindow, Medium medium,
                               QWidget* parent)
    : QWidget(parent), m_api(api), m_guidance(guidance), m_mainWindow(mainWindow), m_medium(std::move(medium))
{
    setFixedSize(fixedSize);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(u"story.scroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    auto* page = new QWidget(scroll);
    page->setAutoFillBackground(true);
    page->setPalette(white);
    m_column = new QVBoxLayout(page);
    m_column->setContentsMargins(20, 20, 20, 20);
    m_column->setSpacing(12);
    scroll->setWidget(page);

    m_picture = new PictureFrame(QSize(420, 236), 10, page);
    m_picture->setObjectName(u"story.picture"_s);
    m_picture->setFixedSize(420, 236);
    m_column->addWidget(m_picture);
    build();
    loadStory();
}

QCoro::Task<void> PhotoStoryView::loadStory()
{
    if (hasText(m_medium.description) && m_medium.location) {
        finishLoading(std::nullopt);
        co_return;
    }
    const QPointer<PhotoStoryView> self(this);
    const QString prefix = m_medium.shortId();
    std::optional<Medium> story;
    try {
        const PhotoResponse answer = co_await m_api.fetchPhoto(prefix);
        story = answer.medium;
    } catch (const std::exception& error) {
        // The photo as given is shown instead; the user is told nothing more.
        AppLog(u"app"_s).info(u"story of "_s + prefix + u" not loaded: "_s + QString::fromUtf8(error.what()));
    }
    if (!self)
        co_return;
    if (story && !hasText(story->description))
        story->description = m_medium.description;
    finishLoading(std::move(story));
}

void PhotoStoryView::finishLoading(std::optional<Medium> story)
{
    m_story = std::move(story);
    m_loading = false;
    build();
    emit storyLoaded();
}

void PhotoStoryView::build()
{
    // Below the picture each state is drawn afresh; the picture loads again only for a new address.
    while (m_column->count() > 1) {
        QLayoutItem* item = m_column->takeAt(1);
        delete item->widget();
        delete item;
    }
    QWidget* page = m_column->parentWidget();
    const Medium& photo = shown();
    m_picture->setSource(m_api.network(), photo.imageURL());

    QLabel* title = SheetText::wrapped(photo.displayTitle(), 18, Palette::dark(), page);
    title->setObjectName(u"story.title"_s);
    m_column->addWidget(title);

    if (hasText(photo.channelTitle)) {
        QLabel* channel = SheetText::wrapped(*photo.channelTitle, 13, Palette::muted(), page);
        channel->setObjectName(u"story.channel"_s);
        m_column->addWidget(channel);
    }

    const std::optional<QString> placeName = photo.location ? photo.location->placeName() : std::nullopt;
    if (photo.location && photo.location->placeQuery() && placeName) {
        auto* link = new QPushButton(tr("More from %1").arg(*placeName), page);
        link->setObjectName(u"story.place"_s);
        link->setFlat(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setFont(BundledFonts::font(14, QFont::Normal));
        link->setIcon(Symbol::pixmap(Symbol::Kind::map, 14, Palette::dark(), devicePixelRatioF()));
        link->setStyleSheet(u"QPushButton { border: none; color: %1; text-align: left; padding: 0; }"_s.arg(
            Palette::dark().name()));
        connect(link, &QPushButton::clicked, this, &PhotoStoryView::openPlace);
        m_column->addWidget(link, 0, Qt::AlignLeft);
    }

    if (m_loading) {
        m_column->addWidget(SheetText::busy(u"story.loading"_s, 48, page));
    } else if (hasText(photo.description)) {
        QLabel* text = SheetText::wrapped(*photo.description, 14, Palette::dark(), page);
        text->setObjectName(u"story.text"_s);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_column->addWidget(text);
    } else {
        QLabel* none =
            SheetText::wrapped(tr("No story available for this photo."), 14, Palette::muted(), page);
        none->setObjectName(u"story.text"_s);
        m_column->addWidget(none);
    }
    m_column->addStretch();
}

void PhotoStoryView::openPlace()
{
    const Medium& photo = shown();
    if (!photo.location)
        return;
    m_guidance.setShowPlaceRequested(photo.location->placeQuery());
    m_mainWindow.showMainWindow();
}

} // namespace lumi
