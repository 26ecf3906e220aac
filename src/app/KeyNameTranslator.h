#pragma once

#include <QTranslator>

namespace lumi {

/// Names the logo key "Super", as Linux desktops do, where Qt's shortcut texts say "Meta".
class KeyNameTranslator final : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }
};

} // namespace lumi
