#pragma once

class QString;

namespace lumi {

/// Lengths as the user sees them: an emoji or an accented letter counts once.
class GraphemeCount final
{
public:
    GraphemeCount() = delete;

    static int of(const QString& text);
};

} // namespace lumi
