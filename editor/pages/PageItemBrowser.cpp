#include "PageItemBrowser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ADXDefinition.h"

int RunPageItemBrowser(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask, bool single,
                       std::vector<ADXObject*>* chosen) {
  QDialog dialog(parent);
  dialog.setWindowTitle("ADX Item Browser");
  auto* layout = new QVBoxLayout(&dialog);
  auto* list = new QTreeWidget(&dialog);
  list->setObjectName("3");
  list->setHeaderLabels({"Item"});
  list->setRootIsDecorated(false);
  list->setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  std::vector<ADXObject*> objects;
  if (definition != nullptr) {
    for (int n = 0;; ++n) {
      ADXObject* object = definition->GetObjectByType(mask, n);
      if (object == nullptr) break;
      objects.push_back(object);
      new QTreeWidgetItem(list, {QString::fromLatin1(object->title.substr(0, 255))});
    }
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  dialog.resize(200, 300);
  if (dialog.exec() != QDialog::Accepted) return 0;
  if (chosen != nullptr) {
    chosen->clear();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
      if (list->topLevelItem(row)->isSelected()) chosen->push_back(objects[static_cast<std::size_t>(row)]);
    }
  }
  return 1;
}
