#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace lumi {

/// What the content area shows without a source: a symbol and a line, maybe a few words more, and
/// for the playlists a button to make the first one.
class EmptyContent final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EmptyContent)

public:
    /// With an action text, the view has a button that emits `actionClicked`.
    EmptyContent(const QIcon& symbol, const QString& text, const QString& action, QWidget* parent = nullptr);

    /// A line under the text; none at first.
    void setDescription(const QString& description);

signals:
    void actionClicked();

private:
    QLabel* m_description;
};

} // namespace lumi
