#pragma once

#include <QWidget>

class QLabel;

namespace lumi {

class BusyIndicator;
class ErrorSink;
class PlaylistEditor;
class PlaylistSync;

/// Upkeep of the photo files: empty the wallpaper and saver folders, download the photos again
/// at the displays' size, import a folder of folders; and the progress of a running sync pass,
/// whoever started it.
class PhotoFilesSettings final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoFilesSettings)

public:
    PhotoFilesSettings(ErrorSink& errors, PlaylistEditor& playlists, PlaylistSync& sync,
                       QWidget* parent = nullptr);
    ~PhotoFilesSettings() override;

private:
    void showProgress();

    PlaylistSync& m_sync;
    BusyIndicator* m_busy = nullptr;
    QLabel* m_progress = nullptr;
};

} // namespace lumi
