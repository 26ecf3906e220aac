#include "app/KeyNameTranslator.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace lumi {

QString KeyNameTranslator::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (context && sourceText && std::strcmp(context, "QShortcut") == 0 &&
        std::strcmp(sourceText, "Meta") == 0)
        return u"Super"_s;
    return QString();
}

} // namespace lumi
