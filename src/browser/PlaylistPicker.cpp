#include "browser/PlaylistPicker.h"

#include "imaging/BundledFonts.h"
#include "model/Account.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

PlaylistPicker::PlaylistPicker(const Account& account, std::optional<Album> excluding, QWidget* parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(u"playlistPicker"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    setPalette(Palette::widgets());
    setAutoFillBackground(true);
    setFont(BundledFonts::font(14, QFont::Normal));
    setFixedWidth(width);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    auto* heading = new QLabel(tr("Add Photo to Playlist"), this);
    heading->setFont(BundledFonts::font(16, QFont::Normal));
    column->addWidget(heading);

    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    int index = 0;
    for (const Album& album : account.albums()) {
        if (excluding && album.id == excluding->id)
            continue;
        auto* button = new QPushButton(this);
        button->setFixedWidth(buttonWidth);
        // One line, cut at the end when it does not fit.
        button->setText(button->fontMetrics().elidedText(album.title, Qt::ElideRight, buttonWidth - 16));
        button->setToolTip(album.title);
        connect(button, &QPushButton::clicked, this, [this, album] { emit chosen(album); });
        grid->addWidget(button, index / 2, index % 2);
        ++index;
    }
    column->addLayout(grid);

    auto* create =
        new QPushButton(SymbolIcon::themed(u"list-add"_s, u"plus.circle"_s), tr("New Playlist…"), this);
    create->setObjectName(u"playlistPicker.new"_s);
    create->setFlat(true);
    QPalette muted = create->palette();
    muted.setColor(QPalette::ButtonText, Palette::muted());
    create->setPalette(muted);
    connect(create, &QPushButton::clicked, this, &PlaylistPicker::newPlaylistRequested);
    column->addWidget(create, 0, Qt::AlignLeft);
}

void PlaylistPicker::popUp(const QWidget& anchor)
{
    adjustSize();
    const QRect target(anchor.mapToGlobal(QPoint(0, 0)), anchor.size());
    const QRect available = anchor.screen() ? anchor.screen()->availableGeometry() : QRect();
    QPoint at(target.center().x() - width / 2, target.top() - height());
    if (available.isValid() && at.y() < available.top())
        at.setY(target.bottom() + 1);
    if (available.isValid())
        at.setX(
            std::clamp(at.x(), available.left(), std::max(available.left(), available.right() - width + 1)));
    move(at);
    show();
}

} // namespace lumi
