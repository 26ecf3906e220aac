#include "browser/GridPlaceholder.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

GridPlaceholder::GridPlaceholder(QWidget* parent)
    : QWidget(parent), m_symbol(new QLabel(this)), m_title(new QLabel(this)), m_description(new QLabel(this)),
      m_retry(new QPushButton(tr("Try Again"), this))
{
    setObjectName(u"grid.placeholder"_s);
    m_title->setObjectName(u"grid.placeholder.title"_s);
    m_retry->setObjectName(u"grid.placeholder.retry"_s);
    m_title->setFont(BundledFonts::font(17, QFont::DemiBold));
    m_description->setObjectName(u"grid.placeholder.description"_s);
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignHCenter);
    m_description->setMaximumWidth(360);
    QPalette muted = m_description->palette();
    muted.setColor(QPalette::WindowText, Palette::muted());
    m_description->setPalette(muted);
    m_symbol->setPalette(muted);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(8);
    column->addWidget(m_symbol, 0, Qt::AlignHCenter);
    column->addWidget(m_title, 0, Qt::AlignHCenter);
    column->addWidget(m_description, 0, Qt::AlignHCenter);
    column->addWidget(m_retry, 0, Qt::AlignHCenter);
    connect(m_retry, &QPushButton::clicked, this, &GridPlaceholder::retryRequested);
}

void GridPlaceholder::setKind(Kind kind)
{
    QIcon symbol;
    switch (kind) {
    case Kind::failed:
        symbol = QIcon::fromTheme(u"network-error"_s, style()->standardIcon(QStyle::SP_MessageBoxWarning));
        m_title->setText(tr("Couldn't load photos"));
        m_description->clear();
        break;
    case Kind::offline:
        symbol = QIcon::fromTheme(u"network-offline"_s, style()->standardIcon(QStyle::SP_MessageBoxWarning));
        m_title->setText(tr("Couldn't load photos"));
        m_description->setText(tr("Can't reach Lumivale. The photos appear here once it answers."));
        break;
    case Kind::emptyPlaylist:
        symbol = QIcon::fromTheme(u"folder-pictures"_s, style()->standardIcon(QStyle::SP_DirIcon));
        m_title->setText(tr("No photos yet"));
        m_description->setText(
            tr("Browse the collections and add photos you love — this playlist becomes your wallpaper."));
        break;
    case Kind::empty:
        symbol = SymbolIcon::themed(u"image-x-generic"_s, u"photo"_s);
        m_title->setText(tr("Nothing here"));
        m_description->clear();
        break;
    }
    m_symbol->setPixmap(symbol.pixmap(40, 40));
    m_description->setVisible(!m_description->text().isEmpty());
    m_retry->setVisible(kind == Kind::failed || kind == Kind::offline);
    adjustSize();
}

QString GridPlaceholder::title() const
{
    return m_title->text();
}

QString GridPlaceholder::description() const
{
    return m_description->text();
}

} // namespace lumi
