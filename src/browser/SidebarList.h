#pragma once

#include "browser/SidebarServices.h"
#include "model/Album.h"

#include <QWidget>

class QVBoxLayout;

namespace lumi {

class AppModel;
class BrowserState;
class CatalogPages;
class SidebarRow;
struct Source;

/// The sections and rows of the browser's sidebar for the current mode: the collections and
/// Today; the featured places and the countries; the favorites, the playlists and "New
/// Playlist…". Rebuilt whenever the mode, the categories, the albums, the places tree or the
/// offline state change; a section whose rows could not be loaded says so while offline.
class SidebarList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SidebarList)

public:
    /// The model gives the collections, the playlists and whether the service answers.
    SidebarList(BrowserState& state, AppModel& model, const CatalogPages& catalog, SidebarServices services,
                QWidget* parent = nullptr);

signals:
    void newPlaylistRequested();
    void renameRequested(const lumi::Album& album);
    void deleteRequested(const lumi::Album& album);

private:
    /// Where the keyboard focus is in the list, named so that it is found again in a new list: a
    /// playlist by its id, a row by its title, anything else by its object name, then which of the
    /// entry's focusable parts (a row, its marks) has it.
    struct FocusPlace
    {
        QString entry;
        qsizetype part = 0;
    };

    void rebuild();
    std::optional<FocusPlace> focusPlace() const;
    /// Puts the focus back on the place in the list as built now; on the selected row when that
    /// place went (a deleted playlist).
    void restoreFocus(const FocusPlace& place);
    void addHomeRows();
    void addPlacesRows();
    void addPlaylistRows();
    void addHeader(const QString& title);
    /// "Offline — will retry" under a section whose rows are missing, while offline.
    void addOfflineLine(bool missing);
    /// A row that selects the source and is highlighted while highlighted() holds.
    void addRow(const QString& title, const Source& source, std::function<bool()> highlighted);
    void addPlaylist(const Album& album);

    BrowserState& m_state;
    AppModel& m_model;
    const CatalogPages& m_catalog;
    SidebarServices m_services;
    QVBoxLayout* m_rows;
};

} // namespace lumi
