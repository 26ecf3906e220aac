#pragma once

#include "platform/Trash.h"

namespace lumi {

/// The freedesktop.org trash through QFile::moveToTrash.
class XdgTrash final : public Trash
{
public:
    std::optional<QString> moveToTrash(const QString& path) override;
};

} // namespace lumi
