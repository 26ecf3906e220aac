#pragma once

#include <QWidget>

class QPushButton;

namespace lumi {

/// What the content area shows without a source: a symbol and a line, and for the playlists a
/// button to make the first one.
class EmptyContent final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EmptyContent)

public:
    /// With an action text, the view has a button that emits `actionClicked`.
    EmptyContent(const QIcon& symbol, const QString& text, const QString& action, QWidget* parent = nullptr);

signals:
    void actionClicked();
};

} // namespace lumi
