#pragma once

#include "browser/core/BrowseMode.h"

#include <QMap>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace lumi {

class BrowserState;
class ColumnsSelector;
class ErrorSink;
class Guidance;
class RotationEngine;
class SaverLauncher;
class WindowPresenter;

/// The browser's toolbar row: the three mode toggles, the column selector, the search field,
/// the Play menu, Next Wallpaper and Settings.
class BrowserToolbar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserToolbar)

public:
    BrowserToolbar(BrowserState& state, ErrorSink& errors, Guidance& guidance, SaverLauncher& saver,
                   RotationEngine& rotation, WindowPresenter& window, QWidget* parent = nullptr);

    QToolButton& modeButton(BrowseMode mode) const { return *m_modes.value(mode); }
    QLineEdit& searchField() const { return *m_search; }
    QToolButton& playButton() const { return *m_play; }
    QToolButton& nextButton() const { return *m_next; }
    QToolButton& settingsButton() const { return *m_settings; }

private:
    QToolButton* addModeToggle(BrowseMode mode, const QString& title, const QIcon& icon, int key);
    QToolButton* makePlayButton();

    BrowserState& m_state;
    ErrorSink& m_errors;
    SaverLauncher& m_saver;
    RotationEngine& m_rotation;
    QMap<BrowseMode, QToolButton*> m_modes;
    QLineEdit* m_search;
    QToolButton* m_play;
    QToolButton* m_next;
    QToolButton* m_settings;
};

} // namespace lumi
