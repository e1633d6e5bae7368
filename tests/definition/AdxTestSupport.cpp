#include "tests/definition/AdxTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "tests/support/ResultPrinting.h"

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "adxtest.XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  dir_ = made ? made : "/tmp";
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (dir_ != "/tmp") std::filesystem::remove_all(dir_, ec);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string WithoutTimeComment(const std::string& bytes) {
  std::size_t start = bytes.find("<!-- Written ");
  if (start == std::string::npos) return bytes;
  std::size_t end = bytes.find("-->", start);
  return end == std::string::npos ? bytes : bytes.substr(0, start) + bytes.substr(end + 3);
}

namespace {

std::string IdOf(const ADXObject* o) {
  return o ? std::string(o->id) : std::string("<none>");
}

void ExpectSameCommon(const ADXObject& a, const ADXObject& b) {
  EXPECT_EQ(a.objectType, b.objectType);
  EXPECT_STREQ(a.id, b.id);
  EXPECT_EQ(a.idhash, b.idhash);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.desc, b.desc);
  EXPECT_EQ(a.baseflags, b.baseflags);
}

void ExpectSameObject(const ADXObject& oa, const ADXObject& ob) {
  SCOPED_TRACE(oa.id);
  ExpectSameCommon(oa, ob);
  if (oa.objectType != ob.objectType) return;
  switch (oa.objectType) {
    case ADX_TYPE_VALUE: {
      const auto& a = static_cast<const ADXValue&>(oa);
      const auto& b = static_cast<const ADXValue&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.parentcmdidhash, b.parentcmdidhash);
      EXPECT_EQ(a.packetoffset, b.packetoffset);
      EXPECT_EQ(a.sizeinbits, b.sizeinbits);
      EXPECT_EQ(a.outputtype, b.outputtype);
      EXPECT_EQ(a.digcount, b.digcount);
      EXPECT_EQ(a.units, b.units);
      EXPECT_EQ(a.alarmlow, b.alarmlow);
      EXPECT_EQ(a.alarmhigh, b.alarmhigh);
      EXPECT_EQ(a.rangelow, b.rangelow);
      EXPECT_EQ(a.rangehigh, b.rangehigh);
      EXPECT_EQ(a.unittype, b.unittype);
      EXPECT_EQ(a.datatype, b.datatype);
      EXPECT_EQ(IdOf(a.lookup), IdOf(b.lookup));
      char ea[256] = {}, eb[256] = {};
      a.GetEquation(ea, sizeof(ea));
      b.GetEquation(eb, sizeof(eb));
      EXPECT_STREQ(ea, eb);
      ASSERT_EQ(a.VariableCount(), b.VariableCount());
      for (int i = 0; i < a.VariableCount(); ++i) {
        EXPECT_EQ(a.GetVariable(i)->varID, b.GetVariable(i)->varID);
        EXPECT_EQ(a.GetVariable(i)->kind, b.GetVariable(i)->kind);
        EXPECT_EQ(a.GetVariable(i)->linkhash, b.GetVariable(i)->linkhash);
      }
      break;
    }
    case ADX_TYPE_BITMASK: {
      const auto& a = static_cast<const ADXBitmask&>(oa);
      const auto& b = static_cast<const ADXBitmask&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.parentcmdidhash, b.parentcmdidhash);
      EXPECT_EQ(a.packetoffset, b.packetoffset);
      EXPECT_EQ(a.sizeinbits, b.sizeinbits);
      EXPECT_EQ(a.operand, b.operand);
      EXPECT_EQ(a.result, b.result);
      EXPECT_EQ(a.bitop, b.bitop);
      EXPECT_EQ(a.truestring, b.truestring);
      EXPECT_EQ(a.falsestring, b.falsestring);
      EXPECT_EQ(a.alarmsetcolor, b.alarmsetcolor);
      EXPECT_EQ(a.alarmnotsetcolor, b.alarmnotsetcolor);
      break;
    }
    case ADX_TYPE_LOOKUPTABLE: {
      const auto& a = static_cast<const ADXLookupTable&>(oa);
      const auto& b = static_cast<const ADXLookupTable&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.inputtype, b.inputtype);
      EXPECT_EQ(a.outputtype, b.outputtype);
      EXPECT_EQ(a.lookupmode, b.lookupmode);
      ASSERT_EQ(a.EntryCount(), b.EntryCount());
      for (std::size_t i = 0; i < a.entries.size(); ++i) {
        EXPECT_EQ(a.entries[i].input, b.entries[i].input);
        EXPECT_EQ(a.entries[i].output, b.entries[i].output);
        EXPECT_EQ(a.entries[i].text, b.entries[i].text);
      }
      break;
    }
    case ADX_TYPE_LISTVIEW: {
      const auto& a = static_cast<const ADXListView&>(oa);
      const auto& b = static_cast<const ADXListView&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      ASSERT_EQ(a.EntryCount(), b.EntryCount());
      for (int i = 0; i < a.EntryCount(); ++i) {
        const ListViewEntry* x = a.GetEntry(i);
        const ListViewEntry* y = b.GetEntry(i);
        EXPECT_EQ(x->flags, y->flags);
        EXPECT_EQ(x->entrytype, y->entrytype);
        EXPECT_EQ(x->itemidhash, y->itemidhash);
        EXPECT_EQ(x->title, y->title);
        EXPECT_EQ(x->color, y->color);
        EXPECT_EQ(IdOf(x->item), IdOf(y->item));
      }
      break;
    }
    case ADX_TYPE_DASHBOARD: {
      const auto& a = static_cast<const ADXDashboard&>(oa);
      const auto& b = static_cast<const ADXDashboard&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      ASSERT_EQ(a.EntryCount(), b.EntryCount());
      for (int i = 0; i < a.EntryCount(); ++i) {
        const DashboardEntry* x = a.GetEntry(i);
        const DashboardEntry* y = b.GetEntry(i);
        EXPECT_EQ(x->flags, y->flags);
        EXPECT_EQ(x->gaugetype, y->gaugetype);
        EXPECT_EQ(x->top, y->top);
        EXPECT_EQ(x->left, y->left);
        EXPECT_EQ(x->bottom, y->bottom);
        EXPECT_EQ(x->right, y->right);
        EXPECT_EQ(x->itemidhash, y->itemidhash);
        EXPECT_EQ(IdOf(x->item), IdOf(y->item));
      }
      break;
    }
    case ADX_TYPE_MONITOR: {
      const auto& a = static_cast<const ADXMonitor&>(oa);
      const auto& b = static_cast<const ADXMonitor&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      ASSERT_EQ(a.EntryCount(), b.EntryCount());
      for (int i = 0; i < a.EntryCount(); ++i) {
        const MonitorSeries* x = a.GetEntry(i);
        const MonitorSeries* y = b.GetEntry(i);
        EXPECT_EQ(x->flags, y->flags);
        EXPECT_EQ(x->linecolor, y->linecolor);
        EXPECT_EQ(x->axiscolor, y->axiscolor);
        EXPECT_EQ(x->linewidth, y->linewidth);
        EXPECT_EQ(x->linetype, y->linetype);
        EXPECT_EQ(x->itemidhash, y->itemidhash);
        EXPECT_EQ(IdOf(x->item), IdOf(y->item));
      }
      break;
    }
    case ADX_TYPE_HISTOGRAM: {
      const auto& a = static_cast<const ADXHistogram&>(oa);
      const auto& b = static_cast<const ADXHistogram&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.parentcmdidhash, b.parentcmdidhash);
      EXPECT_EQ(a.rows, b.rows);
      EXPECT_EQ(a.cols, b.cols);
      EXPECT_EQ(a.xmin, b.xmin);
      EXPECT_EQ(a.xmax, b.xmax);
      EXPECT_EQ(a.ymin, b.ymin);
      EXPECT_EQ(a.ymax, b.ymax);
      EXPECT_EQ(a.GetHistorySize(), b.GetHistorySize());
      EXPECT_EQ(a.xidhash, b.xidhash);
      EXPECT_EQ(a.yidhash, b.yidhash);
      EXPECT_EQ(a.zidhash, b.zidhash);
      EXPECT_EQ(IdOf(a.xvalue), IdOf(b.xvalue));
      EXPECT_EQ(IdOf(a.yvalue), IdOf(b.yvalue));
      EXPECT_EQ(IdOf(a.zvalue), IdOf(b.zvalue));
      break;
    }
    case ADX_TYPE_SENDCOMMAND: {
      const auto& a = static_cast<const ADXCSendCommand&>(oa);
      const auto& b = static_cast<const ADXCSendCommand&>(ob);
      EXPECT_EQ(a.bytes, b.bytes);
      EXPECT_EQ(a.replysize, b.replysize);
      EXPECT_EQ(a.replytimeout, b.replytimeout);
      EXPECT_EQ(a.packetoffset, b.packetoffset);
      EXPECT_EQ(a.packetsize, b.packetsize);
      EXPECT_EQ(a.flags, b.flags);
      break;
    }
    case ADX_TYPE_LISTENSILENCE: {
      const auto& a = static_cast<const ADXCListenSilence&>(oa);
      const auto& b = static_cast<const ADXCListenSilence&>(ob);
      EXPECT_EQ(a.silencelen, b.silencelen);
      EXPECT_EQ(a.totaltimeout, b.totaltimeout);
      break;
    }
    case ADX_TYPE_LISTENCHATTER: {
      const auto& a = static_cast<const ADXCListenChatter&>(oa);
      const auto& b = static_cast<const ADXCListenChatter&>(ob);
      EXPECT_EQ(a.bytes, b.bytes);
      EXPECT_EQ(a.listentimeout, b.listentimeout);
      EXPECT_EQ(a.flags, b.flags);
      break;
    }
    case ADX_TYPE_160BAUDLISTEN: {
      const auto& a = static_cast<const ADXC160BaudListen&>(oa);
      const auto& b = static_cast<const ADXC160BaudListen&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.packetsize, b.packetsize);
      break;
    }
    case ADX_TYPE_TRIGGER: {
      const auto& a = static_cast<const ADXCTrigger&>(oa);
      const auto& b = static_cast<const ADXCTrigger&>(ob);
      EXPECT_EQ(a.triggertype, b.triggertype);
      EXPECT_EQ(a.flags, b.flags);
      break;
    }
    case ADX_TYPE_MACRO: {
      const auto& a = static_cast<const ADXMacro&>(oa);
      const auto& b = static_cast<const ADXMacro&>(ob);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_EQ(a.repeatcount, b.repeatcount);
      ASSERT_EQ(a.NodeCount(), b.NodeCount());
      for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        EXPECT_EQ(a.nodes[i].flags, b.nodes[i].flags);
        EXPECT_EQ(a.nodes[i].repeatcount, b.nodes[i].repeatcount);
        EXPECT_STREQ(a.nodes[i].commandID, b.nodes[i].commandID);
        EXPECT_EQ(IdOf(a.nodes[i].command), IdOf(b.nodes[i].command));
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace

void ExpectSameDefinition(const ADXDefinition& a, const ADXDefinition& b) {
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.userversion, b.userversion);
  EXPECT_EQ(a.author, b.author);
  EXPECT_EQ(a.desc, b.desc);
  EXPECT_EQ(a.baud, b.baud);
  EXPECT_EQ(IdOf(a.connectcmd), IdOf(b.connectcmd));
  EXPECT_EQ(IdOf(a.monitorcmd), IdOf(b.monitorcmd));
  EXPECT_EQ(IdOf(a.disconnectcmd), IdOf(b.disconnectcmd));
  ASSERT_EQ(a.ObjectCount(), b.ObjectCount());
  for (std::size_t i = 0; i < a.ObjectCount(); ++i) {
    ASSERT_NE(a.ObjectAt(i), nullptr);
    ASSERT_NE(b.ObjectAt(i), nullptr);
    ExpectSameObject(*a.ObjectAt(i), *b.ObjectAt(i));
  }
}
