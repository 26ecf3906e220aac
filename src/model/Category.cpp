#include "model/Category.h"

#include "model/JsonReader.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<Category> Category::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    Category category{reader.string(u"title"), reader.string(u"channel_path")};
    if (!reader.finish(error))
        return std::nullopt;
    return category;
}

std::optional<QList<Category>> Category::listFromJson(const QJsonValue& json, QString* error)
{
    return JsonReader::decode<QList<Category>>(json, error);
}

QJsonObject Category::toJson() const
{
    return QJsonObject{{u"title"_s, title}, {u"channel_path"_s, channelPath}};
}

size_t qHash(const Category& category, size_t seed) noexcept
{
    return qHashMulti(seed, category.title, category.channelPath);
}

} // namespace lumi
