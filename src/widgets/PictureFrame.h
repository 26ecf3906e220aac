#pragma once

#include <QCoroTask>
#include <QImage>
#include <QSize>
#include <QUrl>
#include <QWidget>

#include <optional>

class QNetworkAccessManager;

namespace lumi {

/// A picture filling a 16:9 rounded frame (its overflow cut off), grey until it has loaded and
/// for good when it cannot be had. It loads when first painted, so frames in a scroll area load
/// only what comes into view.
class PictureFrame final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureFrame)

public:
    /// drawn: the largest size the frame is shown at, which the picture is decoded to cover.
    PictureFrame(QSize drawn, qreal cornerRadius, QWidget* parent = nullptr);

    /// None keeps the grey frame. The network session outlives the frame.
    void setSource(QNetworkAccessManager& network, std::optional<QUrl> url);
    /// A 2-pixel border in the ink colour inside the edge (a hovered card).
    void setOutlined(bool outlined);

    const QImage& picture() const { return m_picture; }

    QSize sizeHint() const override { return m_drawn; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return frameHeight(width); }
    /// The 16:9 height of a frame width wide.
    static int frameHeight(int width);

signals:
    void pictureLoaded();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QCoro::Task<void> load(QUrl url);

    QSize m_drawn;
    qreal m_radius;
    QNetworkAccessManager* m_network = nullptr;
    std::optional<QUrl> m_url;
    bool m_loadStarted = false;
    bool m_outlined = false;
    QImage m_picture;
};

} // namespace lumi
