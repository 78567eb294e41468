#pragma once
// The window's two reports to the user go through here, so tests can read and answer them.

#include <memory>
#include <string>

class QWidget;

namespace tickora {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal box with one OK button; caption and text are CP932.
    virtual void Show(QWidget* owner, const std::string& caption, const std::string& text) = 0;
};

std::shared_ptr<MessageBoxes> MakeModalMessageBoxes();

}  // namespace tickora
