#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace lumi {

/// What an empty grid shows in its middle: a symbol, a title, an optional description, and for a
/// failed load the "Try Again" button. A load that failed for want of a connection says so.
class GridPlaceholder final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridPlaceholder)

public:
    enum class Kind { failed, offline, emptyPlaylist, empty };

    explicit GridPlaceholder(QWidget* parent = nullptr);

    void setKind(Kind kind);
    QString title() const;
    QString description() const;

signals:
    void retryRequested();

private:
    QLabel* m_symbol;
    QLabel* m_title;
    QLabel* m_description;
    QPushButton* m_retry;
};

} // namespace lumi
