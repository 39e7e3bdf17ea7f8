#include "platform/desktop/message_box.h"
#include "platform/desktop/system_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/qt_text.h"

namespace {

class QtMessageBoxes : public MessageBoxService {
  public:
    MessageAnswer Show(const MessageRequest& request) override {
        QWidget* owner = request.owner ? static_cast<QWidget*>(QtHost(*request.owner))
                                       : QApplication::activeWindow();
        QMessageBox box(ToQtIcon(request.icon), ToQt(request.caption), ToQt(request.text),
                        request.buttons == MessageButtons::YesNo
                            ? QMessageBox::Yes | QMessageBox::No
                            : QMessageBox::Ok,
                        owner);
        const int answer = box.exec();
        if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }

  private:
    static QMessageBox::Icon ToQtIcon(MessageIcon icon) {
        switch (icon) {
            case MessageIcon::Information:
                return QMessageBox::Information;
            case MessageIcon::Exclamation:
                return QMessageBox::Warning;
            case MessageIcon::Question:
                return QMessageBox::Question;
            case MessageIcon::Error:
                return QMessageBox::Critical;
        }
        return QMessageBox::NoIcon;
    }
};

}  // namespace

MessageBoxService& SystemMessageBoxes() {
    static QtMessageBoxes boxes;
    return boxes;
}
