#pragma once
// Message boxes behind an interface, so that tests can answer them.

#include <string>

class DialogWindow;

enum class MessageIcon { Information, Exclamation, Question, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    DialogWindow* owner = nullptr;
    std::u16string text;
    std::u16string caption;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
};

class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    /// Shows the box modally and returns the button the user chose.
    virtual MessageAnswer Show(const MessageRequest& request) = 0;
};

/// Shows a message box through the current service (the system's own unless
/// a test installed its own). Without an owner it belongs to the window that
/// is active.
MessageAnswer ShowMessage(DialogWindow* owner, const std::u16string& text,
                          const std::u16string& caption, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);

/// Installs `service` for all later ShowMessage calls; nullptr restores the
/// real message boxes. The caller keeps ownership.
void SetMessageBoxService(MessageBoxService* service);
