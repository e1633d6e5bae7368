#include "editor/pages/ADXEquationDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editor/pages/PageText.h"

ADXEquationDialog::ADXEquationDialog(QWidget* parent, const QString& equation)
    : QDialog(parent), edit_(new QLineEdit(this)), status_(new QLabel(this)) {
  setWindowTitle("Conversion Equation");
  auto* layout = new QVBoxLayout(this);
  edit_->setObjectName("1027");
  edit_->setMaxLength(kMaxEquation);
  edit_->setMinimumWidth(320);
  status_->setObjectName("1028");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(edit_);
  layout->addWidget(status_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(edit_, &QLineEdit::textChanged, this, &ADXEquationDialog::refreshStatus);
  edit_->setText(equation.left(kMaxEquation));
  refreshStatus();
}

QString ADXEquationDialog::equation() const {
  return edit_->text();
}

void ADXEquationDialog::refreshStatus() {
  status_->setText(QString::fromStdString(EquationStatusText(edit_->text().toLatin1().toStdString())));
}
