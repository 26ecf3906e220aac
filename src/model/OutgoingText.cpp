#include "model/OutgoingText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

QString OutgoingText::scrubbed(QString text, const std::optional<QString>& token)
{
    if (token && !token->isEmpty())
        text.replace(*token, u"[token]"_s);
    // The home as HOME names it and as its links resolve, the longer first; a whole path only:
    // "/home/ann" is not in "/home/anna" nor in "/backup/home/ann".
    QStringList homes{QDir::cleanPath(QDir::homePath())};
    const QString real = QFileInfo(homes.first()).canonicalFilePath();
    if (!real.isEmpty() && real != homes.first())
        homes.append(real);
    std::sort(homes.begin(), homes.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& home : std::as_const(homes)) {
        if (home.size() <= 1)
            continue;
        const QRegularExpression whole(uR"((?<![\w.\-]))"_s + QRegularExpression::escape(home) +
                                       uR"((?![\w.\-]))"_s);
        text.replace(whole, u"~"_s);
    }
    return text;
}

} // namespace lumi
