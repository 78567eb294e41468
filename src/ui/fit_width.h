#pragma once
// An edit field that does not scroll sideways: the user can type only as much text as the
// field shows. Texts the program sets are not limited.

#include <QFont>
#include <QValidator>

class QLineEdit;

namespace tickora {

class FitWidthValidator : public QValidator {
    Q_OBJECT
  public:
    explicit FitWidthValidator(QLineEdit* edit);
    State validate(QString& input, int& pos) const override;

  private:
    QLineEdit* edit_;
};

// font, made a pixel smaller at a time (not below 7 px) until text fits in size: a wide
// fallback font then shows a text whole instead of cutting it off.
QFont FittedFont(QFont font, const QString& text, QSize size);

}  // namespace tickora
