#include "dialogs/combofrm.h"

#include "dialogs/Dialogs.h"
#include "dialogs/key_box.h"
#include "keys/uiStdCmd.h"
#include "ui/button_functions.h"

#include <QLineEdit>

namespace bv::gui {

namespace {

// Code 0 is "no key" whatever its flag says; the extended table would name it.
std::string keyName(std::uint16_t vk, std::uint16_t extended)
{
    return vk == 0 ? std::string() : GetKeyName(vk, extended);
}

} // namespace

QString ComboKeyText(const TCOMBOKEYINFO& combo)
{
    std::string text;
    const std::string first = keyName(combo.nKeyValue1, combo.nKey1Extended);
    if (!first.empty())
        text = GetModifierText(combo.nModifier) + first;
    const std::string second = keyName(combo.nKeyValue2, combo.nKey2Extended);
    if (!second.empty())
        text += "+" + second;
    return QString::fromStdString(text);
}

TFrmCombo::TFrmCombo(const TCOMBOKEYINFO& combo, platform::KeyboardHook* hook, QWidget* parent)
    : KeyCaptureDialog(
        "FrmCombo", "Edit Combo Key...", "It can be a Win, Ctrl, Shift, Alt + any of the keyboard keys.", parent)
    , FComboKey(combo)
    , FKeyHook(hook)
{
    TextCombo = MakeKeyBox(this, "TextCombo");
    TextCombo->setText(ComboKeyText(FComboKey));

    // The recorder swallows the presses it takes; modifier keys and releases pass.
    FKeyHook.OnRecordKeyboardComboKey = [this](int Key1, int Key1Extended, int Key2, int Key2Extended, int Modifier,
                                            const std::string& ComboKeyString) {
        const TCOMBOKEYINFO combo { static_cast<std::uint16_t>(Key1), static_cast<std::uint16_t>(Key1Extended),
            static_cast<std::uint16_t>(Key2), static_cast<std::uint16_t>(Key2Extended),
            static_cast<std::uint16_t>(Modifier) };
        if (const auto why = ComboKeyProblem(combo)) {
            RefuseKey(*why);
            return;
        }
        ShowHint();
        TextCombo->setText(QString::fromStdString(ComboKeyString));
        FComboKey = combo;
    };
}

bool TFrmCombo::StartRecorder()
{
    return FKeyHook.RecordKeyboardComboKey();
}

void TFrmCombo::StopRecorder()
{
    FKeyHook.StopRecordKeyboardComboKey();
}

std::optional<TCOMBOKEYINFO> EditComboKey(
    QWidget* parent, const TCOMBOKEYINFO& combo, platform::KeyboardHook* hook, Dialogs* messages)
{
    TFrmCombo dialog(combo, hook, parent);
    dialog.WarnWhenRecorderFails(messages);
    if (dialog.exec() != kMessageOK)
        return std::nullopt;
    return dialog.ComboKey();
}

std::optional<TCOMBOKEYINFO> ModalDialogs::EditComboKey(QWidget* parent, const TCOMBOKEYINFO& combo)
{
    return gui::EditComboKey(parent, combo, &platform::SystemKeyboardHook(), this);
}

} // namespace bv::gui
