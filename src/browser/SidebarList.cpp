#include "browser/SidebarList.h"

#include "browser/PlaylistRow.h"
#include "browser/SidebarHeader.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "imaging/BundledFonts.h"
#include "model/Account.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"
#include "widgets/TourAnchor.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

SidebarList::SidebarList(BrowserState& state, AppModel& model, const CatalogPages& catalog,
                         SidebarServices services, QWidget* parent)
    : QWidget(parent), m_state(state), m_model(model), m_catalog(catalog), m_services(services),
      m_rows(new QVBoxLayout(this))
{
    m_rows->setContentsMargins(8, 0, 8, 8);
    m_rows->setSpacing(2);
    connect(&state, &BrowserState::modeChanged, this, &SidebarList::rebuild);
    connect(&model, &AppModel::categoriesChanged, this, &SidebarList::rebuild);
    connect(&catalog, &CatalogPages::placesTreeChanged, this, &SidebarList::rebuild);
    connect(&model.account(), &Account::albumsChanged, this, &SidebarList::rebuild);
    connect(&model.account(), &Account::albumsLoadedChanged, this, &SidebarList::rebuild);
    connect(&model, &AppModel::offlineChanged, this, &SidebarList::rebuild);
    rebuild();
}

namespace {

QString entryName(const QWidget& entry)
{
    if (!entry.objectName().isEmpty())
        return entry.objectName();
    if (const auto* row = qobject_cast<const SidebarRow*>(&entry))
        return row->title();
    return {};
}

/// The entry and the widgets inside it that Tab reaches, in order.
QList<QWidget*> focusableParts(QWidget& entry)
{
    QList<QWidget*> parts{&entry};
    parts.append(entry.findChildren<QWidget*>());
    parts.removeIf([](const QWidget* part) { return !(part->focusPolicy() & Qt::TabFocus); });
    return parts;
}

} // namespace

void SidebarList::rebuild()
{
    // A keyboard user keeps the focus on the same entry, "New Playlist…" say, when the albums
    // arrive anew: after a sheet made one, or a mark was switched.
    const std::optional<FocusPlace> focused = focusPlace();
    // Later, because the click that changed the mode may still be running in one of them.
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    switch (m_state.mode()) {
    case BrowseMode::home:
        addHomeRows();
        break;
    case BrowseMode::places:
        addPlacesRows();
        break;
    case BrowseMode::playlists:
        addPlaylistRows();
        break;
    }
    m_rows->addStretch(1);
    if (focused)
        restoreFocus(*focused);
}

std::optional<SidebarList::FocusPlace> SidebarList::focusPlace() const
{
    // The window's focus widget, also while a sheet over it has the keyboard.
    QWidget* focused = window()->focusWidget();
    if (!focused || !isAncestorOf(focused))
        return std::nullopt;
    QWidget* entry = focused;
    while (entry->parentWidget() != this)
        entry = entry->parentWidget();
    return FocusPlace{entryName(*entry), focusableParts(*entry).indexOf(focused)};
}

void SidebarList::restoreFocus(const FocusPlace& place)
{
    QWidget* target = nullptr;
    QWidget* selected = nullptr;
    for (int at = 0; at < m_rows->count() && !target; ++at) {
        QWidget* entry = m_rows->itemAt(at)->widget();
        if (!entry)
            continue;
        const QList<QWidget*> parts = focusableParts(*entry);
        if (entryName(*entry) == place.entry && place.part >= 0 && place.part < parts.size())
            target = parts.at(place.part);
        auto* row = qobject_cast<SidebarRow*>(entry);
        if (!row)
            row = entry->findChild<SidebarRow*>();
        if (row && row->isSelected())
            selected = row;
    }
    if (!target)
        target = selected;
    if (!target)
        return;
    // A new entry shows on the next turn of the event loop, and one not shown takes no focus.
    for (QWidget* shown = target; shown != this; shown = shown->parentWidget())
        shown->show();
    target->setFocus(Qt::OtherFocusReason);
}

void SidebarList::addHomeRows()
{
    addHeader(tr("Collections"));
    addOfflineLine(!m_model.categoriesLoaded());
    for (const Category& category : m_model.categories()) {
        // The source keeps the title as shown, so the highlight and the window title agree.
        const QString title = QCoreApplication::translate("Category", category.title.toUtf8().constData());
        const Source source{Source::Category{category.channelPath, title}};
        addRow(title, source, [this, source] { return m_state.selection() == source; });
    }
    addRow(tr("Today"), Source{Source::Today{}},
           [this] { return m_state.selection() && m_state.selection()->is<Source::Today>(); });
}

void SidebarList::addPlacesRows()
{
    addHeader(tr("Places"));
    const Source featured{Source::Places{}};
    addRow(tr("Featured Places"), featured, [this, featured] { return m_state.selection() == featured; });
    addHeader(tr("Countries"));
    addOfflineLine(!m_catalog.placesTree());
    if (!m_catalog.placesTree())
        return;
    for (const CountryNode& country : m_catalog.placesTree()->countries) {
        const Source source{Source::Places{PlaceQuery{country.slug, std::nullopt, std::nullopt}}};
        const QString slug = country.slug;
        addRow(country.name, source, [this, slug] { return m_state.selectedCountrySlug() == slug; });
    }
}

void SidebarList::addPlaylistRows()
{
    const QList<Album>& albums = m_model.account().albums();
    auto* header = new SidebarHeader(tr("My Playlists"), this);
    m_rows->addWidget(header);
    new TourAnchor(m_services.guidance, *header, 2, TourAnchor::Edge::trailing, albums.isEmpty());
    addOfflineLine(!m_model.account().albumsLoaded());
    if (const std::optional<Album> favorites = m_model.favoritesAlbum())
        addPlaylist(*favorites);
    for (const Album& album : m_model.playlists())
        addPlaylist(album);

    auto* create = new QPushButton(tr("New Playlist…"), this);
    create->setObjectName(u"sidebar.newPlaylist"_s);
    create->setIcon(SymbolIcon::themed(u"list-add"_s, u"plus.circle"_s));
    create->setFlat(true);
    create->setFont(BundledFonts::font(14, QFont::Normal));
    create->setCursor(Qt::PointingHandCursor);
    create->setStyleSheet(
        u"QPushButton { color: %1; text-align: left; padding: 8px 12px; border: none; }"_s.arg(
            Palette::muted().name()));
    connect(create, &QPushButton::clicked, this, &SidebarList::newPlaylistRequested);
    m_rows->addWidget(create);
}

void SidebarList::addHeader(const QString& title)
{
    m_rows->addWidget(new SidebarHeader(title, this));
}

void SidebarList::addOfflineLine(bool missing)
{
    // An empty section is not an empty catalog: say why its rows are missing.
    if (!missing || !m_model.isOffline())
        return;
    auto* line = new QLabel(tr("Offline — will retry"), this);
    line->setObjectName(u"sidebar.offline"_s);
    line->setFont(BundledFonts::font(12, QFont::Normal));
    line->setContentsMargins(12, 2, 12, 6);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, Palette::muted());
    line->setPalette(palette);
    m_rows->addWidget(line);
}

void SidebarList::addRow(const QString& title, const Source& source, std::function<bool()> highlighted)
{
    auto* row = new SidebarRow(title, this);
    connect(row, &SidebarRow::clicked, this, [this, source] { m_state.setSelection(source); });
    auto show = [row, highlighted = std::move(highlighted)] { row->setSelected(highlighted()); };
    connect(&m_state, &BrowserState::selectionChanged, row, show);
    show();
    m_rows->addWidget(row);
}

void SidebarList::addPlaylist(const Album& album)
{
    auto* row = new PlaylistRow(album, m_state, m_services, this);
    connect(row, &PlaylistRow::renameRequested, this, &SidebarList::renameRequested);
    connect(row, &PlaylistRow::deleteRequested, this, &SidebarList::deleteRequested);
    const QList<Album>& albums = m_model.account().albums();
    new TourAnchor(m_services.guidance, *row, 2, TourAnchor::Edge::trailing,
                   !albums.isEmpty() && albums.first().id == album.id);
    m_rows->addWidget(row);
}

} // namespace lumi
