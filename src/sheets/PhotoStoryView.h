#pragma once

#include "model/Medium.h"

#include <QCoroTask>
#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace lumi {

class APIClient;
class Guidance;
class PictureFrame;
class WindowPresenter;

/// The content of the story window for one photo: picture, title, channel, a "More from <place>"
/// link to the catalog browser and the story text. When the photo lacks its story or its location
/// it asks the service for the full record first, showing the photo as given when that fails.
/// An answer that arrives after the view was replaced or closed goes nowhere.
class PhotoStoryView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoStoryView)

public:
    static constexpr QSize fixedSize{460, 520};

    PhotoStoryView(APIClient& api, Guidance& guidance, WindowPresenter& mainWindow, Medium medium,
                   QWidget* parent = nullptr);

    bool isLoading() const { return m_loading; }
    /// The record on show: the fetched one when there is one, else the photo as given.
    const Medium& shown() const { return m_story ? *m_story : m_medium; }

signals:
    void storyLoaded();

private:
    QCoro::Task<void> loadStory();
    void finishLoading(std::optional<Medium> story);
    void build();
    void openPlace();

    APIClient& m_api;
    Guidance& m_guidance;
    WindowPresenter& m_mainWindow;
    Medium m_medium;
    std::optional<Medium> m_story;
    bool m_loading = true;
    QVBoxLayout* m_column = nullptr;
    PictureFrame* m_picture = nullptr;
};

} // namespace lumi
