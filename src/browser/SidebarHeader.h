#pragma once

#include <QLabel>

namespace lumi {

/// The title of a section of a sidebar list, shown in upper case; the title itself keeps its case.
class SidebarHeader final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SidebarHeader)

public:
    explicit SidebarHeader(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }

private:
    QString m_title;
};

} // namespace lumi
