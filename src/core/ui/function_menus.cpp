#include "ui/function_menus.h"

#include "settings/pubunit_solmarch.h"
#include "util/ascii.h"

namespace bv {

const MenuCaptions& ButtonMenuCaptions()
{
    static const MenuCaptions captions {
        { "Click", {} },
        { "Right Click", {} },
        { "Middle Button", {} },
        { "Forward", {} },
        { "Backward", {} },
        { "Single Key", {} },
        { "Combo Key", {} },
        { "Basic", { "Cut", "Copy", "Paste", "Select All", "Find", "New", "Print", "Save" } },
        { "Advanced", { "Switch Window", "Close Window", "Open Explorer", "Run", "Show Desktop", "Lock PC" } },
        { "Media", { "Play/Pause", "Stop", "Previous", "Next", "Volume Up", "Volume Down", "Mute" } },
        { "Macro", { "Macro Manager" } },
        { "DPI Switch", {} },
        { "DPI +", {} },
        { "DPI -", {} },
        { "Fire Key...", {} },
        { "Disable", {} },
    };
    return captions;
}

const MenuCaptions& PrimaryButtonMenuCaptions()
{
    static const MenuCaptions captions { { "Click", {} }, { "Right Click", {} } };
    return captions;
}

const MenuCaptions& WheelMenuCaptions()
{
    static const MenuCaptions captions { { "Wheel Up", {} }, { "Wheel Down", {} }, { "Volume +", {} },
        { "Volume -", {} }, { "Backward", {} }, { "Forward", {} } };
    return captions;
}

const MenuCaptions& PresetMenuCaptions()
{
    static const MenuCaptions captions { { "Default Profile", {} }, { "Load from file", {} }, { "Save to file", {} } };
    return captions;
}

std::optional<std::uint32_t> MenuIDOfCaption(const MenuCaptions& menu, std::string_view caption)
{
    for (std::size_t i = 0; i < menu.size(); ++i) {
        const auto& [top, subs] = menu[i];
        const auto id = static_cast<std::uint32_t>(i + 1);
        if (subs.empty() && util::SameIgnoringAsciiCase(top, caption))
            return id;
        for (std::size_t m = 0; m < subs.size(); ++m)
            if (util::SameIgnoringAsciiCase(subs[m], caption))
                return SubmenuID(id, static_cast<std::uint32_t>(m + 1));
    }
    return std::nullopt;
}

std::string CaptionOfMenuID(const MenuCaptions& menu, std::uint32_t id)
{
    const std::int64_t parent = ParentMenuOf(id);
    const std::int64_t top = parent > 0 ? parent : std::int64_t(id);
    if (top < 1 || top > std::int64_t(menu.size()))
        return {};
    const auto& [caption, subs] = menu[std::size_t(top - 1)];
    if (parent <= 0)
        return caption;
    const std::int64_t position = SubmenuPosition(id);
    return position >= 1 && position <= std::int64_t(subs.size()) ? subs[std::size_t(position - 1)] : std::string();
}

} // namespace bv
