#pragma once

#include <QLabel>

namespace lumi {

/// A text with links in it whose links are the Tab stops, not the text: Tab into it lands on its
/// first link (Shift+Tab on its last), where a plain label first takes the focus as a whole.
class LinkLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    explicit LinkLabel(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace lumi
