#pragma once

#include <QLabel>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

namespace lumi {

class Guidance;

/// The notice as a capsule over the bottom of its parent, fading in and out with it.
class NoticeToast final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeToast)

public:
    NoticeToast(Guidance& guidance, QWidget& parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void sync();
    void place();

    Guidance& m_guidance;
    QGraphicsOpacityEffect* m_opacity;
    QPropertyAnimation* m_fade;
};

} // namespace lumi
