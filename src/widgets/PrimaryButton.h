#pragma once

#include <QPushButton>
#include <QTimer>

namespace lumi {

/// The filled button of a form: the window's tint, pressed by Return, and a small spinner in
/// front of its title while its action runs.
class PrimaryButton final : public QPushButton
{
    Q_OBJECT

public:
    explicit PrimaryButton(const QString& title, QWidget* parent = nullptr);

    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_busy = false;
    int m_angle = 0;
    QTimer m_spin;
};

} // namespace lumi
