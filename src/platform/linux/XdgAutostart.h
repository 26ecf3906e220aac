#pragma once

#include "platform/Autostart.h"

namespace lumi {

/// The login item as an XDG autostart entry: a desktop file in $XDG_CONFIG_HOME/autostart whose
/// Exec line starts this program with --autostart. It counts as enabled only while the file
/// exists, is not hidden or switched off, and its Exec names this program.
class XdgAutostart final : public Autostart
{
public:
    /// executable is the absolute path the entry starts; entryFile is where the entry lives.
    XdgAutostart(QString executable, QString entryFile);

    bool isEnabled() const override;
    std::optional<QString> setEnabled(bool enabled) override;

    /// The Exec value for a program path, quoted and escaped as desktop entries require.
    static QString execLine(const QString& executable);
    /// The program an Exec value starts (its first argument, unquoted); empty when none.
    static QString programOf(const QString& execValue);

private:
    QString m_executable;
    QString m_entryFile;
};

} // namespace lumi
