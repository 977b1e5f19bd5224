#include "ui/uiCommandSetting.h"

#include "ui/collection_names.h"
#include "util/ascii.h"

namespace bv {

TuiCommand& TuiCommands::Add(std::string name)
{
    if (name.empty()) {
        const int n = ui_detail::FirstFreeNumber("Command", [this](auto&& visit) {
            for (const auto& item : FItems)
                visit(item->Name());
        });
        name = "Command" + std::to_string(n);
    }
    FItems.push_back(std::make_unique<TuiCommand>());
    FItems.back()->SetName(std::move(name));
    return *FItems.back();
}

TuiCommand* TuiCommands::Items(int index)
{
    return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].get() : nullptr;
}

const TuiCommand* TuiCommands::Items(int index) const
{
    return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].get() : nullptr;
}

int TuiCommands::IndexOf(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
        if (util::SameIgnoringAsciiCase(FItems[static_cast<std::size_t>(i)]->Name(), name))
            return i;
    return -1;
}

void TuiCommands::Delete(int index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

bool TuiCommandSetting::Run(TuiGetSet type, void* buffer, std::uint32_t size)
{
    // A handler may add or remove commands; the count is read again on every step and the
    // handler is copied, so removing its own command does not pull the code out from under it.
    for (int i = 0; i < FCommands.Count(); ++i) {
        const TOnGetAndSetSetting handler = FCommands.Items(i)->OnExecute;
        if (handler)
            handler(type, buffer, size);
    }
    return true;
}

} // namespace bv
