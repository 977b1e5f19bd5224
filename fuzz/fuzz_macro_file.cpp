// Feeds arbitrary bytes through the two ways stored macros come in: a macro file read with
// LoadMacroFromFile, and a profile's macro list handed to the model. Leading bytes of the input
// also drive the model's list and action operations. Every name is checked to stay in its folder.
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"
#include "work_folder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

namespace fs = std::filesystem;

const fs::path& workFolder()
{
    return bvfuzz::workFolder("macro");
}

void checkName(const std::string& name)
{
    if (bv::MacroFileNameProblem(name))
        return;
    const fs::path file = bv::MacroFilePath("/macros", name);
    if (file.lexically_normal().parent_path() != fs::path("/macros"))
        std::abort();
}

void exercise(bv::TuiMacroClass& model, const std::uint8_t* script, std::size_t size)
{
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 24); ++i) {
        const int op = script[i] % 8;
        const int index = script[i] / 8 - 2;
        bv::TuiActionsClass* actions = model.CurrentMacroAction();
        switch (op) {
        case 0:
            model.SetMacroListIndex(index);
            break;
        case 1:
            model.MoveUpMacro(index);
            break;
        case 2:
            model.MoveDownMacro(index);
            break;
        case 3:
            model.DeleteMacro(index);
            break;
        case 4:
            (void)model.CreateNewMacro(
                std::string(reinterpret_cast<const char*>(script), std::min<std::size_t>(size, 60)));
            break;
        case 5:
            if (actions)
                actions->InsertActionAfter({ 4, 1, script[i], 0 }, index);
            break;
        case 6:
            if (actions) {
                actions->CutAction(index);
                actions->PasteAction(index / 2);
                actions->MoveUpAction(index);
            }
            break;
        default:
            model.CheckAllErrors();
            break;
        }
    }
    for (const auto& m : model.MacroKeyInfos())
        checkName(bv::MacroName(m));
    if (auto* actions = model.CurrentMacroAction())
        (void)actions->TotalDelay();
    auto out = std::make_unique<bv::TMACROKEYINFOLIST>();
    model.GetMacroKeyInfoList(*out);
    if (out->nMacroInfoCount > bv::kMacroListSlots)
        std::abort();
    for (int i = 0; i < out->nMacroInfoCount; ++i)
        if (out->MacroInfos[i].MacroListCount < 0 || out->MacroInfos[i].MacroListCount > bv::kMacroActionsMax)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t* payload = data + 1;
    const std::size_t payloadSize = size - 1;

    if (data[0] % 2 == 0) {
        // One macro file.
        const fs::path file = workFolder() / "input.macro";
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(payload), static_cast<std::streamsize>(payloadSize));
        }
        bv::TMACROKEYINFO macro {};
        if (!bv::TuiMacroClass::LoadMacroFromFile(file.string(), macro))
            std::abort();
        (void)bv::TuiMacroClass::IsValidMacroVersion(macro);
        (void)bv::MacroRecordDamage(macro);
        checkName(bv::MacroName(macro));
        bv::TuiMacroClass model;
        (void)model.CreateNewMacro("fuzz");
        model.SaveBackCurrentMacroKeyInfo(macro);
        model.CurrentMacroAction()->CheckErrors();
        exercise(model, payload, payloadSize);
    } else {
        // A profile's macro list image, cut or zero-padded to its size.
        auto list = std::make_unique<bv::TMACROKEYINFOLIST>();
        std::memset(static_cast<void*>(list.get()), 0, sizeof *list);
        std::memcpy(static_cast<void*>(list.get()), payload, std::min(payloadSize, sizeof *list));
        (void)bv::MacroListDamage(*list);
        bv::TuiMacroClass model(*list);
        model.CheckAllErrors();
        // The script comes from the end of the input, past the list image when there is one.
        const std::size_t scriptStart = payloadSize > sizeof *list ? sizeof *list : 0;
        exercise(model, payload + scriptStart, payloadSize - scriptStart);
    }
    return 0;
}
