#pragma once
// The page interface of the definition editor. The editor dialog shows one page
// right of its tree for the selected object; every page maps its fields onto
// the attributes of one object, fills its drop-down lists from the definition
// and checks its data before the user may leave it.
//
// Thread contract: pages are widgets; every member is called on the GUI thread
// only. A page never owns the object or the definition it edits: the dialog
// owns the definition, the definition owns the objects, and the dialog
// guarantees that a loaded object outlives the page's use of it (it hides the
// page without committing before it destroys the page's object).
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ADXDefinition;
class ADXObject;
class QColor;
class QWidget;

// The record each tree item of the editor carries: what kind of node it is and
// which object it stands for (none for the header and the category roots).
struct ADXEditorItemRecord {
  static constexpr int kHeader = 0;
  static constexpr int kCommand = 1;
  static constexpr int kObject = 2;
  int kind = kObject;
  ADXObject* object = nullptr;
};

// Size of the buffer the dialog hands to Validate.
constexpr std::size_t kAdxValidateMessageSize = 768;
// Caption of the warning box that shows a page's validation message.
constexpr const char* kAdxInvalidDataCaption = "Invalid Item Data!";

// The user-facing services a page needs besides its own widgets: message boxes,
// the item browser and the colour chooser. Injectable so that tests never block
// on a modal window; the default shows the real dialogs.
class IEditorPageServices {
 public:
  virtual ~IEditorPageServices() = default;
  // A modal information box with the caption and text.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
  // The item browser over the definition's objects that share a bit with
  // mask. Returns 1 when confirmed (chosen filled in list order), 0 when
  // cancelled.
  virtual int BrowseItems(QWidget* parent, ADXDefinition* definition, std::uint32_t mask, bool single,
                          std::vector<ADXObject*>* chosen) = 0;
  // A colour chooser starting at initial; false when cancelled.
  virtual bool ChooseColor(QWidget* parent, const QColor& initial, QColor* chosen) = 0;
  // The "Conversion Equation" dialog starting with the text; false when
  // cancelled. The default runs the real dialog.
  virtual bool EditEquation(QWidget* parent, const QString& initial, QString* edited);
};

// The services with the real modal dialogs (message box, item browser, colour
// chooser). One process-wide instance.
IEditorPageServices* DefaultEditorPageServices();

class ADXItemEditorBase : public QObject {
  Q_OBJECT

 public:
  ~ADXItemEditorBase() override;

  // The page's top window: its tab sheet, created hidden at 400 x 400.
  virtual QWidget* PageWindow() const = 0;
  // Writes every field into the object; 0 when the page has no object.
  virtual int Commit() = 0;
  // Remembers the object of the record and the definition, fills the drop-down
  // lists and the fields; 0 when the record has no object (the header page
  // needs only the definition).
  virtual int Load(ADXDefinition* definition, const ADXEditorItemRecord* record) = 0;
  // Non-zero when the data may be kept; otherwise writes a message (possibly
  // empty) cut to size and returns 0. Commits first. The common rule: the ID
  // must be present and unique in the definition.
  virtual int Validate(char* message, std::size_t size);

  ADXDefinition* Definition() const { return definition_; }
  ADXObject* Object() const { return object_; }
  // Forgets the object (the dialog calls this before it destroys the object).
  void Unload();

  IEditorPageServices* Services() const { return services_; }
  void SetServices(IEditorPageServices* services);

 Q_SIGNALS:
  // The title field changed; the dialog renames the selected tree item.
  void titleEdited(const QString& title);

 protected:
  explicit ADXItemEditorBase(IEditorPageServices* services);
  // Stores the record's object and the definition; false when there is none.
  bool Attach(ADXDefinition* definition, const ADXEditorItemRecord* record);

  ADXDefinition* definition_ = nullptr;
  ADXObject* object_ = nullptr;

 private:
  IEditorPageServices* services_;
};

// Creates the page that edits objects of the type code (one of the one-bit
// codes of ADXObject.h); type 0 gives the header page. nullptr for any other
// code. The page window is a hidden child of parent. services may be null for
// the default dialogs.
std::unique_ptr<ADXItemEditorBase> CreateItemEditor(std::uint32_t objectType, QWidget* parent,
                                                    IEditorPageServices* services = nullptr);

// The type codes of the fourteen pages in the order the dialog creates them:
// header (0), value, bitmask, lookup table, item list view, dashboard,
// histogram, monitor, trigger, 160-baud listen, listen for silence, listen for
// chatter, send command, macro.
const std::vector<std::uint32_t>& ItemEditorCreationOrder();
