#pragma once

#include "model/SettingChoice.h"

#include <optional>

namespace lumi {

class Defaults;

struct GridColumnsCases
{
    enum Case { one, two, three, four, automatic };
};

/// The photo grid's column setting, kept under `keys::gridColumns`; anything unknown reads as
/// automatic, which lets the grid choose from its width.
class GridColumns final : public SettingChoice<GridColumns, GridColumnsCases, GridColumnsCases::automatic>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;

    static GridColumns stored(const Defaults& defaults);
    void store(Defaults& defaults) const;

    /// The fixed count, none for automatic.
    std::optional<int> count() const { return positiveExtra(); }
    /// The tooltip of the setting's button.
    QString title() const;
};

} // namespace lumi
