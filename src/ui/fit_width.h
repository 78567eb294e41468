#pragma once
// An edit field that does not scroll sideways: the user can type only as much text as the
// field shows. Texts the program sets are not limited.

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

}  // namespace tickora
