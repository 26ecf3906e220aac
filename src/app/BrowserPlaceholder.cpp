#include "app/BrowserPlaceholder.h"

#include "app/AlertBanner.h"
#include "app/Palette.h"
#include "app/SettingsRequest.h"
#include "app/TourAnchor.h"
#include "imaging/BundledFonts.h"
#include "model/Account.h"
#include "state/AppModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

BrowserPlaceholder::BrowserPlaceholder(AppModel& model, WindowPresenter& window, QWidget* parent)
    : QWidget(parent), m_model(model)
{
    auto* banner = new AlertBanner(model, this);

    m_greeting = new QLabel(this);
    m_greeting->setObjectName(u"browser.greeting"_s);
    m_greeting->setTextFormat(Qt::PlainText);
    m_greeting->setFont(BundledFonts::font(24, QFont::Normal));
    m_greeting->setStyleSheet(u"color: %1;"_s.arg(Palette::dark().name()));

    auto* note = new QLabel(
        tr("Your playlists and what they feed. Browsing the catalog comes in a later version."), this);
    note->setWordWrap(true);
    note->setStyleSheet(u"color: %1;"_s.arg(Palette::muted().name()));

    m_playlists = new QListWidget(this);
    m_playlists->setObjectName(u"browser.playlists"_s);
    m_playlists->setSelectionMode(QAbstractItemView::NoSelection);
    m_playlists->setFocusPolicy(Qt::NoFocus);

    auto* settings = new QPushButton(tr("Settings…"), this);
    settings->setObjectName(u"browser.settings"_s);
    connect(settings, &QPushButton::clicked, this,
            [this, &window] { SettingsRequest::raise(m_model, window); });
    auto* signOut = new QPushButton(tr("Sign Out"), this);
    signOut->setObjectName(u"browser.signOut"_s);
    connect(signOut, &QPushButton::clicked, this, [this] { m_model.signOut(); });

    auto* actions = new QHBoxLayout;
    actions->addWidget(settings);
    actions->addStretch();
    actions->addWidget(signOut);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(28, 16, 28, 28);
    content->setSpacing(12);
    content->addWidget(m_greeting);
    content->addWidget(note);
    content->addWidget(m_playlists, 1);
    content->addLayout(actions);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bannerMargin = new QHBoxLayout;
    bannerMargin->setContentsMargins(16, 12, 16, 0);
    bannerMargin->addWidget(banner);
    layout->addLayout(bannerMargin);
    layout->addLayout(content, 1);

    new TourAnchor(model, *m_playlists, 0, TourAnchor::Edge::trailing);
    new TourAnchor(model, *m_greeting, 1, TourAnchor::Edge::bottom);
    new TourAnchor(model, *m_playlists, 2, TourAnchor::Edge::trailing);
    new TourAnchor(model, *settings, 3, TourAnchor::Edge::top);

    connect(&m_model.account(), &Account::userChanged, this, &BrowserPlaceholder::sync);
    connect(&m_model.account(), &Account::albumsChanged, this, &BrowserPlaceholder::sync);
    sync();
}

void BrowserPlaceholder::sync()
{
    const std::optional<User>& user = m_model.account().user();
    QString name;
    if (user) {
        name = QStringList{user->firstName.value_or(QString()), user->lastName.value_or(QString())}
                   .join(u' ')
                   .trimmed();
        if (name.isEmpty())
            name = user->email.value_or(QString());
    }
    m_greeting->setText(name.isEmpty() ? tr("Signed in") : tr("Signed in as %1").arg(name));

    m_playlists->clear();
    for (const Album& album : m_model.account().albums()) {
        QStringList feeds;
        if (album.includeInPaper.value_or(false))
            feeds.append(tr("wallpaper"));
        if (album.includeInSaver.value_or(false))
            feeds.append(tr("screen saver"));
        QString line = album.title;
        if (album.count)
            line += u" — "_s + (*album.count == 1 ? tr("1 photo") : tr("%1 photos").arg(*album.count));
        if (!feeds.isEmpty())
            line += u" — "_s + feeds.join(u", "_s);
        m_playlists->addItem(line);
    }
}

} // namespace lumi
