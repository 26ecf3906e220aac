#pragma once

#include "model/PlaceQuery.h"
#include "model/PlacesTree.h"
#include "sheets/Card.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QStackedLayout;

namespace lumi {

class AppModel;
class CatalogPages;

/// The browser's pane for a places selection: the featured places (no query), or one level of
/// the tree with a trail back home, a strip of the level's children and the level's photo grid.
/// It loads the tree when shown and asks the browser to open another level through open; it
/// never changes the browser's selection itself.
class PlacesView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlacesView)

public:
    /// One step of a trail; the last, the level itself, opens nothing.
    struct Step
    {
        QString name;
        std::optional<PlaceQuery> query;
        bool operator==(const Step&) const = default;
    };
    /// One level of the tree.
    struct Node
    {
        QString name;
        QList<Step> trail;
        QList<Card> children;
        bool operator==(const Node&) const = default;
    };
    enum class State { loading, failed, home, level };
    Q_ENUM(State)

    /// Asks the browser to show a level; none is the home.
    using Open = std::function<void(std::optional<PlaceQuery>)>;
    /// The browser's photo grid of a level, made once per view (its paging lives in it).
    using GridFactory = std::function<QWidget*(const PlaceQuery& query, QWidget* parent)>;

    PlacesView(AppModel& model, CatalogPages& catalog, std::optional<PlaceQuery> query, Open open,
               GridFactory grid, std::function<void()> clearMedia, QWidget* parent = nullptr);

    /// The level a query names in the tree: a place wherever the tree has it, else a region of the
    /// query's country, else the country; none when it names nothing.
    static std::optional<Node> node(const PlaceQuery& query, const PlacesTree& tree);
    /// The query a card id opens: "p-<place>", "r-<country>/<region>"; none for anything else.
    static std::optional<PlaceQuery> query(const QString& cardID);
    static QList<Card> homeCards(const PlacesTree& tree);

    State state() const { return m_state; }
    /// Shows another level; a new query gets a new photo grid.
    void setQuery(std::optional<PlaceQuery> query);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void present(State state, QWidget* page);
    QWidget* makeHome(const PlacesTree& tree);
    QWidget* makeLevel(const Node& node);
    QWidget* makeTrail(const Node& node, QWidget* parent);
    QWidget* makeFailure();
    QWidget* makeLoading();
    void openCard(const Card& card);

    AppModel& m_model;
    CatalogPages& m_catalog;
    std::optional<PlaceQuery> m_query;
    Open m_open;
    GridFactory m_grid;
    std::function<void()> m_clearMedia;
    QStackedLayout* m_pages;
    State m_state = State::loading;
    std::optional<Node> m_shownNode;
    QPointer<QWidget> m_levelGrid;
};

} // namespace lumi
