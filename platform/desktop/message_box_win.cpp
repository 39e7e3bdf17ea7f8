#include "platform/desktop/message_box.h"
#include "platform/desktop/system_dialogs.h"

#include "platform/desktop/dialog_window_win.h"

namespace {

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Exclamation:
            return MB_ICONEXCLAMATION;
        case MessageIcon::Question:
            return MB_ICONQUESTION;
        case MessageIcon::Error:
            return MB_ICONERROR;
    }
    return 0;
}

class Win32MessageBoxes : public MessageBoxService {
  public:
    MessageAnswer Show(const MessageRequest& request) override {
        // A page's box belongs to the main window, which it then blocks.
        HWND owner = request.owner && request.owner->Host() ? request.owner->Host()->hwnd
                                                            : GetActiveWindow();
        if (owner) owner = GetAncestor(owner, GA_ROOT);
        const UINT buttons = request.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
        const int answer = MessageBoxW(owner, Wide(request.text), Wide(request.caption),
                                       buttons | IconStyle(request.icon));
        if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    }
};

}  // namespace

MessageBoxService& SystemMessageBoxes() {
    static Win32MessageBoxes boxes;
    return boxes;
}
