#pragma once

#include "sheets/Card.h"

#include <QAbstractButton>

#include <optional>

class QLabel;
class QNetworkAccessManager;

namespace lumi {

class PictureFrame;

/// One card as a button: the cover in a rounded 16:9 frame (outlined while hovered), the name
/// and the count. Without a width it takes what its container gives (the home grid, one line of
/// name); with one (the strip) it is that wide and keeps two lines for the name.
class CardView final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CardView)

public:
    CardView(Card card, std::optional<int> width, QNetworkAccessManager& network, QWidget* parent = nullptr);

    const Card& card() const { return m_card; }
    /// "1 photo" or "<n> photos", then " · <state>" when there is one.
    static QString subtitle(const Card& card);
    /// The height of every card at width, so a list lays out places for cards not made yet.
    static int height(int width, bool fixedWidth);
    /// The name as it fits on at most lines lines of width, wrapped at words, its end cut with "…".
    static QString fitted(const QString& name, const QFont& font, int width, int lines);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Card m_card;
    PictureFrame* m_cover;
    QLabel* m_name;
    int m_nameLines;
};

} // namespace lumi
