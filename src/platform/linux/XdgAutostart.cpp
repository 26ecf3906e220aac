#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString entryGroup = u"[Desktop Entry]"_s;

// Characters that force an Exec argument into quotes.
bool isReserved(QChar c)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    return reserved.contains(c);
}

// Undoes the escapes every string value of a desktop entry may carry.
QString unescapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        if (next == u's')
            out.append(u' ');
        else if (next == u'n')
            out.append(u'\n');
        else if (next == u't')
            out.append(u'\t');
        else if (next == u'r')
            out.append(u'\r');
        else if (next == u'\\')
            out.append(u'\\');
        else
            out.append(c).append(next);
    }
    return out;
}

QString escapeValue(const QString& value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out.append(u"\\\\"_s);
        else if (c == u'\n')
            out.append(u"\\n"_s);
        else if (c == u'\t')
            out.append(u"\\t"_s);
        else if (c == u'\r')
            out.append(u"\\r"_s);
        else
            out.append(c);
    }
    return out;
}

// The keys of the main group, later lines winning; localized keys are left out.
QHash<QString, QString> readEntry(const QString& file)
{
    QHash<QString, QString> keys;
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return keys;
    bool inEntry = false;
    const QStringList lines = QString::fromUtf8(input.readAll()).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inEntry = line == entryGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!key.contains(u'['))
            keys.insert(key, unescapeValue(line.mid(equals + 1).trimmed()));
    }
    return keys;
}

bool isSameProgram(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

XdgAutostart::XdgAutostart(QString executable, QString entryFile)
    : m_executable(std::move(executable)), m_entryFile(std::move(entryFile))
{
}

bool XdgAutostart::isEnabled() const
{
    if (!QFileInfo(m_entryFile).isFile())
        return false;
    const QHash<QString, QString> entry = readEntry(m_entryFile);
    if (entry.value(u"Hidden"_s) == u"true"_s)
        return false;
    // GNOME honours this switch as well, and its tools write it instead of removing the file.
    if (entry.value(u"X-GNOME-Autostart-enabled"_s) == u"false"_s)
        return false;
    return isSameProgram(programOf(entry.value(u"Exec"_s)), m_executable);
}

std::optional<QString> XdgAutostart::setEnabled(bool enabled)
{
    if (!enabled) {
        QFile entry(m_entryFile);
        if (entry.exists() && !entry.remove())
            return u"can't remove "_s + m_entryFile + u": "_s + entry.errorString();
        return std::nullopt;
    }
    if (!QDir().mkpath(QFileInfo(m_entryFile).absolutePath()))
        return u"can't create the folder of "_s + m_entryFile;
    QSaveFile file(m_entryFile);
    if (!file.open(QIODevice::WriteOnly))
        return u"can't write "_s + m_entryFile + u": "_s + file.errorString();
    const QString text = entryGroup +
                         u"\n"_s
                         u"Type=Application\n"_s
                         u"Name=Lumivale\n"_s
                         u"Comment=Wallpapers and screen saver from Lumivale\n"_s
                         u"Exec="_s +
                         execLine(m_executable) +
                         u" --autostart\n"_s
                         u"Icon=lumivale-desktop\n"_s
                         u"Terminal=false\n"_s
                         u"X-GNOME-Autostart-enabled=true\n"_s;
    file.write(text.toUtf8());
    if (!file.commit())
        return u"can't write "_s + m_entryFile + u": "_s + file.errorString();
    return std::nullopt;
}

QString XdgAutostart::execLine(const QString& executable)
{
    QString argument = executable;
    if (std::any_of(executable.begin(), executable.end(), isReserved)) {
        argument = u"\""_s;
        for (const QChar c : executable) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                argument.append(u'\\');
            argument.append(c);
        }
        argument.append(u'"');
    }
    // A lone "%" would start a field code.
    argument.replace(u"%"_s, u"%%"_s);
    return escapeValue(argument);
}

QString XdgAutostart::programOf(const QString& execValue)
{
    QString program;
    bool quoted = false;
    for (qsizetype i = 0; i < execValue.size(); ++i) {
        const QChar c = execValue.at(i);
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < execValue.size())
                program.append(execValue.at(++i));
            else
                program.append(c);
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u' ' || c == u'\t') {
            if (!program.isEmpty())
                break;
        } else {
            program.append(c);
        }
    }
    return program.replace(u"%%"_s, u"%"_s);
}

} // namespace lumi
