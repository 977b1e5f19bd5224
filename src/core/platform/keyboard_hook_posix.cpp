#include "platform/keyboard_hook.h"

namespace bv::platform {

FedKeyboardHook* SystemFedKeyboardHook()
{
    static FedKeyboardHook hook;
    return &hook;
}

KeyboardHook& SystemKeyboardHook()
{
    return *SystemFedKeyboardHook();
}

} // namespace bv::platform
