#include "dialogs/SingleKeyfrm.h"

#include "dialogs/Dialogs.h"
#include "dialogs/key_box.h"
#include "keys/uiStdCmd.h"
#include "ui/button_functions.h"

#include <QLineEdit>

namespace bv::gui {

TFrmSingleKey::TFrmSingleKey(const TSINGLEKEYINFO& key, platform::KeyboardHook* hook, QWidget* parent)
    : KeyCaptureDialog("FrmSingleKey", "Edit Single Key...", "it can be any key on the keyboard", parent)
    , FSingleKey(key)
    , FKeyHook(hook)
{
    TextSingle = MakeKeyBox(this, "TextSingle");
    TextSingle->setText(QString::fromStdString(GetKeyName(FSingleKey.nKeyValue1, FSingleKey.nKey1Extended)));

    // Releases count too: the last key event wins. The key is left to reach its target.
    FKeyHook.OnRecordKeyboardSingleKey
        = [this](int Key, std::uint32_t, int, int AKeyExtended, const std::string& SingleKeyString, bool&) {
              const TSINGLEKEYINFO key { static_cast<std::uint16_t>(Key), static_cast<std::uint16_t>(AKeyExtended) };
              if (const auto why = SingleKeyProblem(key)) {
                  RefuseKey(*why);
                  return;
              }
              ShowHint();
              TextSingle->setText(QString::fromStdString(SingleKeyString));
              FSingleKey = key;
          };
}

bool TFrmSingleKey::StartRecorder()
{
    return FKeyHook.RecordKeyboardSingleKey();
}

void TFrmSingleKey::StopRecorder()
{
    FKeyHook.StopRecordKeyboardSingleKey();
}

std::optional<TSINGLEKEYINFO> EditSingleKey(
    QWidget* parent, const TSINGLEKEYINFO& key, platform::KeyboardHook* hook, Dialogs* messages)
{
    TFrmSingleKey dialog(key, hook, parent);
    dialog.WarnWhenRecorderFails(messages);
    if (dialog.exec() != kMessageOK)
        return std::nullopt;
    return dialog.SingleKey();
}

std::optional<TSINGLEKEYINFO> ModalDialogs::EditSingleKey(QWidget* parent, const TSINGLEKEYINFO& key)
{
    return gui::EditSingleKey(parent, key, &platform::SystemKeyboardHook(), this);
}

} // namespace bv::gui
