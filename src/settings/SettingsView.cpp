#include "settings/SettingsView.h"

#include "browser/SidebarRow.h"
#include "imaging/BundledFonts.h"
#include "model/DeviceInfo.h"
#include "settings/ApplicationSettings.h"
#include "settings/CalendarSettingsPane.h"
#include "settings/PaneText.h"
#include "settings/ScreenSaverSettings.h"
#include "settings/SupportSettings.h"
#include "settings/WallpaperSettings.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr std::array sections{SettingsSection::application, SettingsSection::wallpaper,
                              SettingsSection::calendar, SettingsSection::screenSaver,
                              SettingsSection::support};
constexpr int sidebarWidth = 190;
constexpr int paneInset = 24;

QFrame* rule(QWidget* parent, bool vertical)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Palette::lightGray());
    line->setPalette(palette);
    if (vertical)
        line->setFixedWidth(1);
    else
        line->setFixedHeight(1);
    return line;
}

} // namespace

SettingsView::SettingsView(AppModel& model, SettingsServices services, std::optional<SettingsSection> opening,
                           QWidget* parent)
    : QDialog(parent), m_model(model), m_services(services), m_opening(opening)
{
    setObjectName(u"settings"_s);
    setWindowTitle(tr("Settings"));
    setFixedSize(sheetSize);
    setFont(BundledFonts::font(14, QFont::Normal));
    QPalette palette = Palette::widgets();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Highlight, Palette::dark());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(rule(this, false));

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    auto* sidebar = new QWidget(this);
    sidebar->setFixedWidth(sidebarWidth);
    auto* rows = new QVBoxLayout(sidebar);
    rows->setSpacing(0);
    for (const SettingsSection section : sections) {
        auto* row = new SidebarRow(title(section), sidebar);
        row->setObjectName(u"settings.section"_s);
        connect(row, &SidebarRow::clicked, this, [this, section] { choose(section); });
        rows->addWidget(row);
        m_rows.append({section, row});
    }
    rows->addStretch();
    body->addWidget(sidebar);
    body->addWidget(rule(this, true));
    m_paneArea = new QScrollArea(this);
    m_paneArea->setObjectName(u"settings.pane"_s);
    m_paneArea->setFrameShape(QFrame::NoFrame);
    m_paneArea->setWidgetResizable(true);
    m_paneArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body->addWidget(m_paneArea, 1);
    layout->addLayout(body, 1);

    layout->addWidget(rule(this, false));
    layout->addWidget(buildFooter());
}

SettingsView::~SettingsView() = default;

QString SettingsView::title(SettingsSection section)
{
    switch (section) {
    case SettingsSection::application:
        return tr("Application");
    case SettingsSection::wallpaper:
        return tr("Wallpaper");
    case SettingsSection::calendar:
        return tr("Calendar");
    case SettingsSection::screenSaver:
        return tr("Screen Saver");
    case SettingsSection::support:
        return tr("Support");
    }
    return {};
}

QWidget* SettingsView::buildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(22, 16, 22, 16);
    auto* heading = PaneText::line(tr("Settings"), header);
    heading->setFont(BundledFonts::font(24, QFont::Normal));
    auto* close = new QToolButton(header);
    close->setObjectName(u"settings.closeButton"_s);
    close->setIcon(SymbolIcon::themed(u"window-close"_s, u"xmark"_s));
    close->setIconSize(QSize(16, 16));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close"));
    close->setAccessibleName(tr("Close"));
    QPalette muted = close->palette();
    muted.setColor(QPalette::ButtonText, Palette::muted());
    close->setPalette(muted);
    connect(close, &QToolButton::clicked, this, &QDialog::reject);
    row->addWidget(heading);
    row->addStretch();
    row->addWidget(close);
    return header;
}

QWidget* SettingsView::buildFooter()
{
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(20, 12, 20, 12);
    row->setSpacing(12);
    row->addStretch();
    QLabel* version = PaneText::note(u"v "_s + DeviceInfo::appVersion(), footer);
    version->setObjectName(u"settings.version"_s);
    version->setWordWrap(false);
    auto* close = new QPushButton(tr("Close"), footer);
    close->setObjectName(u"settings.close"_s);
    close->setAutoDefault(false);
    // Escape rejects the dialog too: "Close" is the sheet's cancel action.
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(version);
    row->addWidget(close);
    return footer;
}

void SettingsView::showEvent(QShowEvent* event)
{
    if (!m_section) {
        choose(m_opening.value_or(SettingsSection::application));
        // The keyboard starts in the section list, where the arrow keys move between the panes.
        for (const auto& [rowSection, row] : std::as_const(m_rows)) {
            if (rowSection == m_section)
                row->setFocus(Qt::OtherFocusReason);
        }
    }
    QDialog::showEvent(event);
}

void SettingsView::choose(SettingsSection section)
{
    m_section = section;
    for (const auto& [rowSection, row] : std::as_const(m_rows))
        row->setSelected(rowSection == section);
    auto* holder = new QWidget(m_paneArea);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(paneInset, paneInset, paneInset, paneInset);
    layout->addWidget(makePane(section));
    layout->addStretch();
    // Hidden first, so a choice still settling in it is sent; the scroll area then deletes the
    // pane shown before, with its state.
    if (QWidget* shown = m_paneArea->widget())
        shown->hide();
    m_paneArea->setWidget(holder);
}

QWidget* SettingsView::makePane(SettingsSection section)
{
    switch (section) {
    case SettingsSection::application:
        return new ApplicationSettings(m_model, m_services.settingsSync, m_services.shortcuts);
    case SettingsSection::wallpaper:
        return new WallpaperSettings(m_services.errors, m_services.account, m_services.settingsSync,
                                     m_services.engine);
    case SettingsSection::calendar:
        return new CalendarSettingsPane(m_services.errors, m_services.account, m_services.settingsSync);
    case SettingsSection::screenSaver:
        return new ScreenSaverSettings(m_services.errors, m_services.account, m_services.settingsSync,
                                       m_services.saver);
    case SettingsSection::support:
        break;
    }
    return new SupportSettings(m_services);
}

} // namespace lumi
