// The header, value, bitmask, lookup table and histogram pages: fields set
// through the widgets reach the object, survive a save and load, and bad data
// is refused with the page's message.
#include "definition/ADXValue.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "controls/chart2d/QvChart2D.h"
#include "controls/chart2d/QvChart2DSeries.h"
#include "controls/containers/QvTabSheet.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXLookupTable.h"
#include "editor/pages/ADXEquationDialog.h"
#include "editor/pages/ADXLookupEditor.h"
#include "editor/pages/ADXValueEditor.h"
#include "tests/editor/pages/PageTestSupport.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ResultPrinting.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

std::string Validate(ADXItemEditorBase& page, int* result) {
  char message[kAdxValidateMessageSize];
  std::memset(message, 'x', sizeof(message));
  *result = page.Validate(message, sizeof(message));
  return message;
}

// A definition with the commands the association lists pick from.
struct Commands {
  ADXDefinition def;
  ADXCSendCommand* reply;
  ADXCSendCommand* silent;
  ADXCTrigger* generic;
  ADXCTrigger* histograms;
  Commands() {
    reply = Add<ADXCSendCommand>(def, "POLL", "Poll");
    reply->flags = kSendReadReply;
    silent = Add<ADXCSendCommand>(def, "QUIET", "Quiet");
    generic = Add<ADXCTrigger>(def, "ALL", "All views");
    histograms = Add<ADXCTrigger>(def, "HIST", "Histograms only");
    histograms->triggertype = kTriggerHistograms | kTriggerMonitors;
  }
};

std::vector<QString> Entries(QComboBox* combo) {
  std::vector<QString> texts;
  for (int i = 0; i < combo->count(); ++i) texts.push_back(combo->itemText(i));
  return texts;
}

}  // namespace

TEST(HeaderPage, FieldsReachTheDefinitionAndSurviveSaving) {
  Commands c;
  TestPage p(0);
  ASSERT_EQ(p.Load(&c.def, nullptr, ADXEditorItemRecord::kHeader), 1);
  EXPECT_EQ(Entries(p.C<QComboBox>(1072)),
            (std::vector<QString>{"<None>", "Poll", "Quiet", "All views", "Histograms only"}));
  p.SetText(1002, "A. Writer");
  p.SetText(1003, "1.2b");
  p.C<QPlainTextEdit>(1004)->setPlainText("Two\nlines");
  p.SetText(1005, "9604");
  p.C<QCheckBox>(1127)->setChecked(true);
  p.Choose(1072, "Poll");
  p.Choose(1073, "All views");
  p.Choose(1074, "<None>");
  int ok = 0;
  EXPECT_EQ(Validate(*p.page, &ok), "");
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(c.def.author, "A. Writer");
  EXPECT_EQ(c.def.baud, 9608);
  EXPECT_EQ(c.def.connectcmd, c.reply);

  auto loaded = SaveAndLoad(c.def);
  EXPECT_EQ(loaded->author, "A. Writer");
  EXPECT_EQ(loaded->userversion, "1.2b");
  EXPECT_EQ(loaded->desc, "Two\nlines");
  EXPECT_EQ(loaded->baud, 9608);
  EXPECT_EQ(loaded->flags & kHeaderEcho, kHeaderEcho);
  ASSERT_NE(loaded->connectcmd, nullptr);
  EXPECT_STREQ(loaded->connectcmd->id, "POLL");
  ASSERT_NE(loaded->monitorcmd, nullptr);
  EXPECT_STREQ(loaded->monitorcmd->id, "ALL");
  EXPECT_EQ(loaded->disconnectcmd, nullptr);

  // A low baud is held to 1200, and loading shows the stored rate.
  p.SetText(1005, "160");
  p.page->Commit();
  EXPECT_EQ(c.def.baud, 1200);
  p.Load(&c.def, nullptr, ADXEditorItemRecord::kHeader);
  EXPECT_EQ(p.C<QLineEdit>(1005)->text(), "1200");
}

TEST(HeaderPage, ACommandDeletedAfterLoadingIsNotStored) {
  Commands c;
  TestPage p(0);
  p.Load(&c.def, nullptr, ADXEditorItemRecord::kHeader);
  p.Choose(1072, "Quiet");
  auto removed = c.def.Remove(c.silent);
  p.page->Commit();
  EXPECT_EQ(c.def.connectcmd, nullptr);
}

TEST(ValuePage, EveryFieldReachesTheValueAndSurvivesSaving) {
  Commands c;
  auto* table = Add<ADXLookupTable>(c.def, "CURVE", "Curve");
  auto* other = Add<ADXValue>(c.def, "OTHER", "Other value");
  auto* v = Add<ADXValue>(c.def, "", "New Item");
  TestPage p(ADX_TYPE_VALUE);
  ASSERT_EQ(p.Load(&c.def, v), 1);
  // The association list: every reply-processing send command and every
  // trigger of all kinds.
  EXPECT_EQ(Entries(p.C<QComboBox>(1140)), (std::vector<QString>{"<All>", "Poll", "All views"}));
  EXPECT_EQ(p.C<QComboBox>(1149)->count(), 61);
  EXPECT_EQ(p.C<QComboBox>(1150)->count(), 95);
  EXPECT_EQ(p.C<QComboBox>(1150)->itemText(4), "Revolutions Per Minute");

  p.SetCommon("Engine Speed", "RPM", "Crank speed");
  p.Choose(1149, "Engine Speed");
  p.Choose(1150, "Revolutions Per Minute");
  p.SetText(1009, "rev/min");
  p.SetText(1010, "x1a");
  p.C<QCheckBox>(1012)->setChecked(true);
  p.C<QCheckBox>(1013)->setChecked(true);
  p.Choose(1011, "16 Bit");
  p.SetText(1014, "-40");
  p.SetText(1015, "8000.5");
  p.SetText(1016, "500");
  p.C<QCheckBox>(1018)->setChecked(true);
  p.SetText(1017, "6500");
  p.C<QCheckBox>(1019)->setChecked(true);
  p.Choose(1140, "Poll");
  p.Choose(1024, "Integer");
  p.SetText(1025, "3");
  p.C<QCheckBox>(1095)->setChecked(true);
  p.Choose(1096, "Curve");
  p.services.equation = "X*25+Y";
  p.C<QPushButton>(1026)->click();
  EXPECT_EQ(p.C<QLineEdit>(1019)->text(), "X*25+Y");
  auto* args = p.C<QListWidget>(1020);
  ASSERT_EQ(args->count(), 2);
  EXPECT_EQ(args->item(0)->text(), "X (Native)");
  EXPECT_FALSE(p.C<QPushButton>(1023)->isEnabled());
  args->setCurrentRow(1);
  p.Choose(1021, "Linked Output");
  EXPECT_TRUE(p.C<QPushButton>(1023)->isEnabled());
  p.services.browseResult = {other};
  p.C<QPushButton>(1023)->click();
  EXPECT_EQ(p.services.browseMasks.back(), ADX_TYPE_VALUE);
  EXPECT_TRUE(p.services.browseSingle.back());
  EXPECT_EQ(args->item(1)->text(), "Y (Link: Other value)");
  EXPECT_EQ(p.C<QLineEdit>(1022)->text(), "OTHER");

  int ok = 0;
  Validate(*p.page, &ok);
  EXPECT_EQ(ok, 1);
  auto loaded = SaveAndLoad(c.def);
  auto* r = static_cast<ADXValue*>(loaded->FindById("RPM"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->title, "Engine Speed");
  EXPECT_EQ(r->desc, "Crank speed");
  EXPECT_EQ(r->datatype, 6);
  EXPECT_EQ(r->unittype, 4);
  EXPECT_EQ(r->units, "rev/min");
  EXPECT_EQ(r->packetoffset, 26u);
  EXPECT_EQ(r->flags, kValueSigned | kValueLsbFirst | kValueAlarmLow | kValueAlarmHigh);
  EXPECT_EQ(r->sizeinbits, 16);
  EXPECT_FLOAT_EQ(r->rangelow, -40.0f);
  EXPECT_FLOAT_EQ(r->rangehigh, 8000.5f);
  EXPECT_FLOAT_EQ(r->alarmlow, 500.0f);
  EXPECT_FLOAT_EQ(r->alarmhigh, 6500.0f);
  EXPECT_EQ(r->parentcmdidhash, c.reply->idhash);
  EXPECT_EQ(r->outputtype, kOutputInteger);
  EXPECT_EQ(r->digcount, 3);
  EXPECT_EQ(r->lookupidhash, table->idhash);
  EXPECT_NE(r->lookup, nullptr);
  char equation[64] = {};
  r->GetEquation(equation, sizeof(equation));
  EXPECT_STREQ(equation, "X*25+Y");
  ASSERT_EQ(r->VariableCount(), 2);
  EXPECT_EQ(r->GetVariable(0)->kind, kVariableNative);
  EXPECT_EQ(r->GetVariable(1)->kind, kVariableLink);
  EXPECT_EQ(r->GetVariable(1)->linkhash, other->idhash);

  // Loaded again, the page shows what it stored; unchecking the table clears it.
  p.Load(loaded.get(), r);
  EXPECT_EQ(p.C<QLineEdit>(1010)->text(), "0x1A");
  EXPECT_EQ(p.C<QComboBox>(1096)->currentText(), "Curve");
  EXPECT_EQ(p.C<QListWidget>(1020)->currentRow(), 0);
  p.C<QCheckBox>(1095)->setChecked(false);
  EXPECT_FALSE(p.C<QComboBox>(1096)->isEnabled());
  p.page->Commit();
  EXPECT_EQ(r->lookupidhash, 0u);
  EXPECT_EQ(r->lookup, nullptr);
}

TEST(ValuePage, CatalogNumbersOutsideTheListsAreKept) {
  ADXDefinition def;
  auto* v = Add<ADXValue>(def, "V", "V");
  v->datatype = 500;
  v->unittype = 95;
  v->sizeinbits = 12;
  TestPage p(ADX_TYPE_VALUE);
  p.Load(&def, v);
  EXPECT_EQ(p.C<QComboBox>(1149)->currentIndex(), -1);
  EXPECT_EQ(p.C<QComboBox>(1150)->currentIndex(), -1);
  p.page->Commit();
  EXPECT_EQ(v->datatype, 500);
  EXPECT_EQ(v->unittype, 95);
  EXPECT_EQ(v->sizeinbits, 12);
}

TEST(ValuePage, ACancelledEquationChangesNothing) {
  ADXDefinition def;
  auto* v = Add<ADXValue>(def, "V", "V");
  v->SetEquation("A+1", 3);
  TestPage p(ADX_TYPE_VALUE);
  p.Load(&def, v);
  p.services.equationConfirms = false;
  p.services.equation = "B*2";
  p.C<QPushButton>(1026)->click();
  ASSERT_EQ(p.services.equationShown.size(), 1u);
  EXPECT_EQ(p.services.equationShown[0], "A+1");
  char text[16] = {};
  v->GetEquation(text, sizeof(text));
  EXPECT_STREQ(text, "A+1");
}

TEST(Validation, IdsMustBePresentAndUnique) {
  ADXDefinition def;
  Add<ADXValue>(def, "TAKEN", "First");
  auto* v = Add<ADXValue>(def, "", "New Item");
  TestPage p(ADX_TYPE_VALUE);
  p.Load(&def, v);
  int ok = 1;
  EXPECT_EQ(Validate(*p.page, &ok), "No ID provided. Please specify unique ID string.");
  EXPECT_EQ(ok, 0);
  p.SetText(1008, "TAKEN");
  EXPECT_EQ(Validate(*p.page, &ok), "ID is not unique. Please specify unique ID.");
  EXPECT_EQ(ok, 0);
  p.SetText(1008, "FREE");
  EXPECT_EQ(Validate(*p.page, &ok), "");
  EXPECT_EQ(ok, 1);
  // An ID is cut to 15 characters; a message is cut to the buffer.
  p.SetText(1008, "");
  char small[8];
  EXPECT_EQ(p.page->Validate(small, sizeof(small)), 0);
  EXPECT_STREQ(small, "No ID p");
  // A page without an object accepts.
  TestPage empty(ADX_TYPE_VALUE);
  EXPECT_EQ(empty.Load(&def, nullptr), 0);
  EXPECT_EQ(Validate(*empty.page, &ok), "");
  EXPECT_EQ(ok, 1);
}

TEST(Validation, TitleEditsAreAnnouncedButLoadingIsNot) {
  ADXDefinition def;
  auto* v = Add<ADXValue>(def, "V", "Old");
  TestPage p(ADX_TYPE_VALUE);
  std::vector<QString> titles;
  QObject::connect(p.page.get(), &ADXItemEditorBase::titleEdited,
                   [&](const QString& t) { titles.push_back(t); });
  p.Load(&def, v);
  EXPECT_TRUE(titles.empty());
  p.SetText(1006, "New");
  EXPECT_EQ(titles, (std::vector<QString>{"New"}));
}

TEST(BitmaskPage, EveryFieldReachesTheBitmaskAndSurvivesSaving) {
  Commands c;
  auto* b = Add<ADXBitmask>(c.def, "", "New Item");
  TestPage p(ADX_TYPE_BITMASK);
  p.Load(&c.def, b);
  p.SetCommon("Fan", "FAN", "Cooling fan");
  p.SetText(1033, "0x0C");
  p.Choose(1032, "32 Bit");
  p.C<QCheckBox>(1029)->setChecked(true);
  p.SetText(1037, "ON");
  p.C<QCheckBox>(1030)->setChecked(true);
  p.SetText(1038, "OFF");
  p.C<QCheckBox>(1031)->setChecked(true);
  p.Choose(1041, "Bitwise XOR");
  p.SetText(1039, "FF");
  p.SetText(1040, "0x80");
  p.Choose(1141, "All views");
  int ok = 0;
  Validate(*p.page, &ok);
  EXPECT_EQ(ok, 1);
  auto loaded = SaveAndLoad(c.def);
  auto* r = static_cast<ADXBitmask*>(loaded->FindById("FAN"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->title, "Fan");
  EXPECT_EQ(r->packetoffset, 12u);
  EXPECT_EQ(r->sizeinbits, 32);
  EXPECT_EQ(r->flags, kBitmaskLsbFirst | kBitmaskAlarmOnSet | kBitmaskAlarmOnNotSet);
  EXPECT_EQ(r->truestring, "ON");
  EXPECT_EQ(r->falsestring, "OFF");
  EXPECT_EQ(r->bitop, kBitopXor);
  EXPECT_EQ(r->operand, 0xFFu);
  EXPECT_EQ(r->result, 0x80u);
  EXPECT_EQ(r->parentcmdidhash, c.generic->idhash);
  p.Load(loaded.get(), r);
  EXPECT_EQ(p.C<QLineEdit>(1039)->text(), "0xFF");
  EXPECT_EQ(p.C<QComboBox>(1141)->currentText(), "All views");
}

TEST(LookupPage, EntriesTypesAndModeSurviveSaving) {
  ADXDefinition def;
  auto* t = Add<ADXLookupTable>(def, "", "New Item");
  TestPage p(ADX_TYPE_LOOKUPTABLE);
  p.Load(&def, t);
  p.SetCommon("Coolant", "CLT", "");
  p.Choose(1058, "Integer");
  p.Choose(1059, "Floating Point");
  p.Choose(1060, "Previous");
  auto* add = p.C<QPushButton>(1066);
  for (const auto& [in, out] : {std::pair{"20", "100.5"}, {"0", "-40"}, {"10", "5"}}) {
    p.SetText(1064, in);
    p.SetText(1065, out);
    add->click();
  }
  auto* list = p.C<QTreeWidget>(1063);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "0");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "-40.000000");
  // Removing the selected entry.
  list->setCurrentItem(list->topLevelItem(1));
  p.C<QPushButton>(1067)->click();
  ASSERT_EQ(t->EntryCount(), 2);
  EXPECT_FLOAT_EQ(t->entries[1].input, 20.0f);
  auto* graph = static_cast<ADXLookupEditor*>(p.page.get())->Graph();
  EXPECT_EQ(graph->getSeries(0)->PointCount(), 2);
  EXPECT_EQ(graph->xAxisTitle(), "Input");
  EXPECT_EQ(graph->yAxisTitle(), "Output");
  EXPECT_EQ(graph->style() & 0x30u, 0x30u);

  int ok = 0;
  Validate(*p.page, &ok);
  EXPECT_EQ(ok, 1);
  auto loaded = SaveAndLoad(def);
  auto* r = static_cast<ADXLookupTable*>(loaded->FindById("CLT"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->inputtype, kLookupInteger);
  EXPECT_EQ(r->outputtype, kLookupFloat);
  EXPECT_EQ(r->lookupmode, kLookupPrevious);
  ASSERT_EQ(r->EntryCount(), 2);
  EXPECT_FLOAT_EQ(r->entries[0].output, -40.0f);
  EXPECT_FLOAT_EQ(r->entries[1].output, 100.5f);
  p.Load(loaded.get(), r);
  EXPECT_EQ(graph->title(), "Coolant");
}

TEST(LookupPage, TextTablesHaveNoGraphAndCannotInterpolate) {
  ADXDefinition def;
  auto* t = Add<ADXLookupTable>(def, "T", "T");
  t->AddEntry(1.0f, 1.5f);
  t->AddEntry(2.0f, 2.0f);
  TestPage p(ADX_TYPE_LOOKUPTABLE);
  p.Load(&def, t);
  auto* graph = static_cast<ADXLookupEditor*>(p.page.get())->Graph();
  EXPECT_EQ(graph->getSeries(0)->PointCount(), 2);
  p.Choose(1059, "String");
  EXPECT_EQ(t->outputtype, kLookupText);
  EXPECT_EQ(t->lookupmode, kLookupClosest);
  EXPECT_EQ(p.C<QComboBox>(1060)->currentText(), "Closest");
  EXPECT_EQ(p.C<QTreeWidget>(1063)->topLevelItem(0)->text(1), "1.500000");
  EXPECT_EQ(graph->getSeries(0)->PointCount(), 0);
  p.SetText(1064, "3");
  p.SetText(1065, "Hot");
  p.C<QPushButton>(1066)->click();
  EXPECT_EQ(t->entries[2].text, "Hot");
  // A drag on a text table's graph changes nothing.
  Q_EMIT graph->notify(graph, 1071, QvChart2D::kNotifyDragEnded, graph->getSeries(0), 0);
  EXPECT_EQ(t->EntryCount(), 3);
  // The mode list cannot put a text table back to interpolation.
  p.Choose(1060, "Interpolate");
  p.page->Commit();
  EXPECT_EQ(t->lookupmode, kLookupClosest);
}

TEST(LookupPage, DraggedPointsRebuildTheTable) {
  ADXDefinition def;
  auto* t = Add<ADXLookupTable>(def, "T", "T");
  t->AddEntry(0.0f, 0.0f);
  t->AddEntry(10.0f, 100.0f);
  t->AddEntry(20.0f, 400.0f);
  TestPage p(ADX_TYPE_LOOKUPTABLE);
  p.Load(&def, t);
  auto* graph = static_cast<ADXLookupEditor*>(p.page.get())->Graph();
  QvChart2DSeries* series = graph->getSeries(0);
  // Point 1 dragged onto the input of point 2: the equal inputs collapse.
  series->SetPoint(1, QvChart2DPoint{20.0f, 300.0f, 0, 0}, false);
  series->SetPoint(0, QvChart2DPoint{5.0f, 50.0f, 0, 0}, false);
  Q_EMIT graph->notify(graph, 9999, QvChart2D::kNotifyDragEnded, series, 0);
  EXPECT_FLOAT_EQ(t->entries[0].input, 0.0f);  // another control's notice is ignored
  Q_EMIT graph->notify(graph, 1071, QvChart2D::kNotifyDragEnded, series, 0);
  ASSERT_EQ(t->EntryCount(), 2);
  EXPECT_FLOAT_EQ(t->entries[0].input, 5.0f);
  EXPECT_FLOAT_EQ(t->entries[0].output, 50.0f);
  EXPECT_FLOAT_EQ(t->entries[1].input, 20.0f);
  EXPECT_FLOAT_EQ(t->entries[1].output, 400.0f);
  EXPECT_EQ(p.C<QTreeWidget>(1063)->topLevelItemCount(), 2);
  EXPECT_EQ(series->PointCount(), 2);
}

TEST(HistogramPage, EveryFieldReachesTheHistogramAndZeroSizesAreRefused) {
  Commands c;
  auto* x = Add<ADXValue>(c.def, "RPM", "Engine speed");
  auto* y = Add<ADXValue>(c.def, "MAP", "Manifold pressure");
  auto* z = Add<ADXValue>(c.def, "BLM", "Block learn");
  auto* h = Add<ADXHistogram>(c.def, "", "New Item");
  TestPage p(ADX_TYPE_HISTOGRAM);
  p.Load(&c.def, h);
  EXPECT_EQ(Entries(p.C<QComboBox>(1146)),
            (std::vector<QString>{"<Update With Inputs>", "Poll", "All views", "Histograms only"}));
  p.SetCommon("BLM map", "BLMMAP", "");
  for (const auto& [button, object] : {std::pair{20202, y}, {10101, x}, {30303, z}}) {
    p.services.browseResult = {object};
    p.C<QPushButton>(button)->click();
  }
  EXPECT_EQ(p.C<QLineEdit>(1107)->text(), "Manifold pressure");
  EXPECT_EQ(p.C<QLineEdit>(1108)->text(), "Engine speed");
  p.SetText(1101, "0");
  p.SetText(1103, "20");
  p.SetText(1104, "100");
  p.SetText(1102, "16");
  p.SetText(1105, "400");
  p.SetText(1106, "6400");
  p.SetText(1110, "25");
  p.Choose(1146, "Histograms only");
  int ok = 1;
  EXPECT_EQ(Validate(*p.page, &ok), "Histogram row and column count must not be 0.");
  EXPECT_EQ(ok, 0);
  // The ID rules come first.
  p.SetText(1008, "");
  EXPECT_EQ(Validate(*p.page, &ok), "No ID provided. Please specify unique ID string.");
  p.SetText(1008, "BLMMAP");
  p.SetText(1101, "12");
  EXPECT_EQ(Validate(*p.page, &ok), "");
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(h->xvalue, x);

  auto loaded = SaveAndLoad(c.def);
  auto* r = static_cast<ADXHistogram*>(loaded->FindById("BLMMAP"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->xidhash, x->idhash);
  EXPECT_EQ(r->yidhash, y->idhash);
  EXPECT_EQ(r->zidhash, z->idhash);
  EXPECT_EQ(r->rows, 12);
  EXPECT_EQ(r->cols, 16);
  EXPECT_FLOAT_EQ(r->ymin, 20.0f);
  EXPECT_FLOAT_EQ(r->ymax, 100.0f);
  EXPECT_FLOAT_EQ(r->xmin, 400.0f);
  EXPECT_FLOAT_EQ(r->xmax, 6400.0f);
  EXPECT_EQ(r->GetHistorySize(), 25);
  EXPECT_EQ(r->parentcmdidhash, c.histograms->idhash);
}

TEST(LookupPage, TheGraphIsRefilledWhenItsTabComesUp) {
  ADXDefinition def;
  auto* t = Add<ADXLookupTable>(def, "T", "T");
  t->AddEntry(1.0f, 2.0f);
  TestPage p(ADX_TYPE_LOOKUPTABLE);
  p.Load(&def, t);
  auto* graph = static_cast<ADXLookupEditor*>(p.page.get())->Graph();
  t->AddEntry(3.0f, 4.0f);
  EXPECT_EQ(graph->getSeries(0)->PointCount(), 1);
  auto* sheet = static_cast<QvTabSheet*>(p.page->PageWindow());
  sheet->show();
  sheet->selectPage(1);
  EXPECT_EQ(graph->getSeries(0)->PointCount(), 2);
}

TEST(EquationDialog, TheStatusLineFollowsEveryChange) {
  ADXEquationDialog dialog(nullptr, "(X*2)");
  EXPECT_EQ(dialog.windowTitle(), "Conversion Equation");
  EXPECT_EQ(dialog.status()->text(), "Equation Format Appears Valid");
  dialog.editor()->setText("(X*2");
  EXPECT_EQ(dialog.status()->text(), "Missing )");
  dialog.editor()->setText("X*2)");
  EXPECT_EQ(dialog.status()->text(), "Missing (");
  dialog.editor()->setText(QString(300, 'X'));
  EXPECT_EQ(dialog.equation().size(), 255);
}
