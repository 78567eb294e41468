#include "app/message_boxes.h"

#include <QMessageBox>

#include "common/codepage.h"
#include "ui/plain_text.h"

namespace tickora {

namespace {
class ModalMessageBoxes final : public MessageBoxes {
  public:
    void Show(QWidget* owner, const std::string& caption, const std::string& text) override {
        QMessageBox box(QMessageBox::NoIcon, Shown(caption), Shown(text), QMessageBox::Ok, owner);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
};
}  // namespace

std::shared_ptr<MessageBoxes> MakeModalMessageBoxes() {
    return std::make_shared<ModalMessageBoxes>();
}

}  // namespace tickora
