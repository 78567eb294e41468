#pragma once
// A static of the black index band: names in white, changes coloured by their text,
// fillers empty. The colour is decided from the CP932 text at every paint.

#include <optional>
#include <string>

#include "ui/clickable_label.h"

namespace tickora {

class IndexLabel : public ClickableLabel {
    Q_OBJECT
  public:
    enum class Role { Name, Change, Filler };

    IndexLabel(Role role, QWidget* parent = nullptr);

    Role role() const { return role_; }
    void SetText(std::string_view cp932);
    const std::string& Text() const { return text_; }
    // The colour the text is painted in now.
    QColor TextColour() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    Role role_;
    std::string text_;
    std::optional<QFont> fitted_;  // the font the text fits in, once it has been worked out
};

}  // namespace tickora
