#include "sheets/DisplaysSheet.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Screens.h"
#include "sheets/SheetText.h"
#include "wallpaper/DisplayChoice.h"
#include "widgets/Palette.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

DisplaysSheet::DisplaysSheet(const Screens& screens, Defaults& defaults, Commit commit, QWidget* parent)
    : QDialog(parent), m_defaults(defaults), m_commit(std::move(commit)), m_displays(screens.displays())
{
    setFixedWidth(420);
    QVBoxLayout* column = SheetText::frame(*this, tr("Displays"), 12);
    column->addWidget(SheetText::label(tr("Set Wallpaper on:"), 14, Palette::dark(), this));

    auto* list = new QVBoxLayout;
    list->setSpacing(8);
    list->setContentsMargins(4, 0, 0, 0);
    const QStringList off = m_defaults.get(keys::wallpaperDisplaysOff);
    for (int index = 0; index < m_displays.size(); ++index) {
        auto* tick = new QCheckBox(rowLabel(index, m_displays[index]), this);
        tick->setObjectName(u"displays.screen.%1"_s.arg(index + 1));
        tick->setChecked(!off.contains(DisplayChoice::displayID(m_displays[index])));
        connect(tick, &QCheckBox::toggled, this, &DisplaysSheet::updateOk);
        list->addWidget(tick);
        m_ticks.append(tick);
    }
    column->addLayout(list);

    column->addSpacing(4);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setStyleSheet(u"color: %1;"_s.arg(Palette::lightGray().name()));
    column->addWidget(divider);
    column->addSpacing(4);

    m_ask = new QCheckBox(tr("Ask every time (Shift-click to ask again)"), this);
    m_ask->setObjectName(u"displays.ask"_s);
    m_ask->setChecked(DisplayChoice::showDialog(m_defaults));
    QPalette askPalette = m_ask->palette();
    askPalette.setColor(QPalette::WindowText, Palette::muted());
    askPalette.setColor(QPalette::ButtonText, Palette::muted());
    m_ask->setPalette(askPalette);
    column->addWidget(m_ask);

    column->addSpacing(4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = SheetText::addAnswers(*this, *buttons, tr("Cancel"), u"displays.cancel"_s, tr("OK"),
                                 u"displays.ok"_s);
    column->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &DisplaysSheet::confirm);
    updateOk();
}

QString DisplaysSheet::rowLabel(int index, const DisplayInfo& display)
{
    return tr("%1  %2").arg(index + 1).arg(DisplayChoice::displayName(display));
}

void DisplaysSheet::updateOk()
{
    m_ok->setEnabled(
        std::any_of(m_ticks.cbegin(), m_ticks.cend(), [](QCheckBox* tick) { return tick->isChecked(); }));
}

void DisplaysSheet::confirm()
{
    QList<DisplayInfo> chosen;
    for (int index = 0; index < m_displays.size(); ++index) {
        // One read, change and write per display: the stored list, never a copy taken earlier.
        QStringList off = m_defaults.get(keys::wallpaperDisplaysOff);
        off.removeDuplicates();
        const QString id = DisplayChoice::displayID(m_displays[index]);
        if (m_ticks[index]->isChecked()) {
            off.removeAll(id);
            chosen.append(m_displays[index]);
        } else if (!off.contains(id)) {
            off.append(id);
        }
        m_defaults.set(keys::wallpaperDisplaysOff, off);
    }
    m_defaults.set(keys::showDisplaysDialog, m_ask->isChecked());
    // The sheet may be gone once it is dismissed.
    const Commit commit = m_commit;
    accept();
    commit(chosen);
}

} // namespace lumi
