#pragma once

#include <QImage>
#include <QWidget>

namespace lumi {

/// The left side of the sign-in window: a photo filling the panel under a dark veil, with the
/// taglines and the photo's place.
class AuthPhotoPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit AuthPhotoPanel(QWidget* parent = nullptr);

    void setPhoto(QImage photo);
    bool hasPhoto() const { return !m_photo.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_photo;
};

} // namespace lumi
