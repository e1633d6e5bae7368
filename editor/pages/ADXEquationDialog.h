#pragma once
// The modal "Conversion Equation" dialog of the value page: one line for the
// equation (up to 255 characters) and a status line that says whether the
// parentheses pair up, refreshed after every change of the text.
//
// Thread contract: a QDialog; GUI thread only.
#include <QDialog>

class QLabel;
class QLineEdit;

class ADXEquationDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxEquation = 255;
  ADXEquationDialog(QWidget* parent, const QString& equation);

  QString equation() const;
  QLineEdit* editor() const { return edit_; }
  QLabel* status() const { return status_; }

 private:
  void refreshStatus();

  QLineEdit* edit_;
  QLabel* status_;
};
