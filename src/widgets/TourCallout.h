#pragma once

#include <QString>
#include <QWidget>

class QPushButton;

namespace lumi {

class Guidance;

/// One step of the onboarding tour: title, text, "Skip Tour", the step counter, "Back" and
/// "Next" ("Done" on the last step). The buttons move the tour; the guidance decides what is
/// shown, after its delays.
class TourCallout final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TourCallout)

public:
    struct Step
    {
        QString title;
        QString text;
    };

    static constexpr int stepCount = 4;
    static constexpr int calloutWidth = 330;

    TourCallout(Guidance& guidance, int step, QWidget* parent = nullptr);

    /// The four steps, in order.
    static const QList<Step>& steps();

    /// "Next", or "Done" on the last step; Return presses it.
    QPushButton* nextButton() const { return m_next; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void back();
    void next();

    Guidance& m_guidance;
    QPushButton* m_next = nullptr;
};

} // namespace lumi
