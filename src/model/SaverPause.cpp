#include "model/SaverPause.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <array>

namespace lumi {

namespace {

constexpr std::array<int, 6> secondsByCase{3, 5, 10, 20, 30, 60};

} // namespace

std::optional<SaverPause> SaverPause::fromValue(QStringView value)
{
    if (value.size() != 1 || value[0] < u'0' || value[0] > u'5')
        return std::nullopt;
    return SaverPause(Case(value[0].unicode() - u'0'));
}

SaverPause SaverPause::fromSetting(const std::optional<QString>& setting)
{
    return fromValue(setting.value_or(QString())).value_or(ten);
}

QList<SaverPause> SaverPause::all()
{
    return {three, five, ten, twenty, thirty, sixty};
}

QString SaverPause::value() const
{
    return QString::number(int(m_case));
}

QString SaverPause::label() const
{
    return QCoreApplication::translate("SaverPause", "%n seconds", nullptr, seconds());
}

int SaverPause::seconds() const
{
    return secondsByCase.at(m_case);
}

size_t qHash(SaverPause pause, size_t seed) noexcept
{
    return ::qHash(int(SaverPause::Case(pause)), seed);
}

} // namespace lumi
