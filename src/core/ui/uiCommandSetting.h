#pragma once
// TuiCommandSetting: a named list of refresh commands that a window runs together, for example
// to redraw every panel after the current profile changed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bv {

enum class TuiGetSet : std::int32_t { uiGet = 0, uiSet = 1 };

/// (direction, buffer, size); the main window's handlers ignore the buffer.
using TOnGetAndSetSetting = std::function<void(TuiGetSet AType, void* Buffer, std::uint32_t BufferSize)>;

class TuiCommand {
public:
    const std::string& Name() const { return FName; }
    void SetName(std::string name) { FName = std::move(name); }
    const std::string& Description() const { return FDescription; }
    void SetDescription(std::string description) { FDescription = std::move(description); }

    TOnGetAndSetSetting OnExecute;

private:
    std::string FName;
    std::string FDescription;
};

class TuiCommands {
public:
    /// Appends a command; without a name it is called "Command<n>" with the smallest n >= 1 that no
    /// command's name has (compared without regard to case).
    TuiCommand& Add(std::string name = {});
    int Count() const { return static_cast<int>(FItems.size()); }
    /// The command at `index`, nullptr when out of range.
    TuiCommand* Items(int index);
    const TuiCommand* Items(int index) const;
    /// Position of the first command with that name (ignoring case), -1 when none.
    int IndexOf(std::string_view name) const;
    /// Removes the command at `index`; nothing happens for an index out of range.
    void Delete(int index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TuiCommand>> FItems;
};

class TuiCommandSetting {
public:
    TuiCommands& Commands() { return FCommands; }
    const TuiCommands& Commands() const { return FCommands; }

    /// Runs every command that has a handler, in list order, with uiGet. Returns true.
    bool GetData(void* buffer, std::uint32_t size) { return Run(TuiGetSet::uiGet, buffer, size); }
    /// The same with uiSet; the main window's broadcast that refreshes every panel.
    bool SetData(void* buffer, std::uint32_t size) { return Run(TuiGetSet::uiSet, buffer, size); }

private:
    bool Run(TuiGetSet type, void* buffer, std::uint32_t size);

    TuiCommands FCommands;
};

} // namespace bv
