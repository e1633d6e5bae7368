// varnak-cli info FILE.adx: the header, one line per object with its
// references, then the warnings a definition author needs.
#include <cstdio>
#include <cstring>
#include <map>
#include <ostream>
#include <sstream>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {

std::string Hex(std::uint32_t v, int digits = 8) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%.*X", digits, static_cast<unsigned>(v));
  return text;
}

// A text on one line: line breaks become spaces. Texts stay 8-bit here and are
// turned into UTF-8 where they are written out.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return out;
}

// The ID of the object with the hash, "?0x..." when none has it, or "-" for 0.
std::string RefByHash(const ADXDefinition& def, std::uint32_t hash) {
  if (hash == 0) return "-";
  const ADXObject* o = def.FindByHash(hash);
  return o ? IdText(*o) : "?" + Hex(hash);
}

std::string RefTo(const ADXObject* object, std::uint32_t hash) {
  if (object != nullptr) return IdText(*object);
  return hash ? "?" + Hex(hash) : "-";
}

std::string Bytes(const ADXByteString& bytes) {
  std::string out;
  char piece[4];
  for (std::uint8_t b : bytes.bytes) {
    std::snprintf(piece, sizeof(piece), "%.2X", b);
    if (!out.empty()) out += ' ';
    out += piece;
  }
  return out.empty() ? "-" : out;
}

std::string ParentCommand(const ADXDefinition& def, std::uint32_t hash) {
  return hash == 0 ? "any" : RefByHash(def, hash);
}

std::string Describe(const ADXDefinition& def, const ADXObject& object) {
  std::ostringstream s;
  switch (object.objectType) {
    case ADX_TYPE_VALUE: {
      const auto& v = static_cast<const ADXValue&>(object);
      char eq[256] = {};
      v.GetEquation(eq, sizeof(eq));
      s << "command=" << ParentCommand(def, v.parentcmdidhash) << " offset=" << Hex(v.packetoffset, 2)
        << " bits=" << v.sizeinbits << " equation=\"" << OneLine(eq) << '"';
      for (const ValueVariable& var : v.variables) {
        s << ' ' << var.varID << '=';
        if (var.kind == kVariableLink) {
          s << "link:" << RefByHash(def, var.linkhash);
        } else {
          s << "raw";
        }
      }
      if (v.lookup != nullptr || v.lookupidhash != 0) s << " lookup=" << RefTo(v.lookup, v.lookupidhash);
      if (!v.units.empty()) s << " units=\"" << OneLine(v.units) << '"';
      break;
    }
    case ADX_TYPE_BITMASK: {
      const auto& b = static_cast<const ADXBitmask&>(object);
      s << "command=" << ParentCommand(def, b.parentcmdidhash) << " offset=" << Hex(b.packetoffset, 2)
        << " bits=" << b.sizeinbits << (b.bitop == kBitopXor ? " xor=" : " and=") << Hex(b.operand)
        << " result=" << Hex(b.result);
      break;
    }
    case ADX_TYPE_LOOKUPTABLE: {
      const auto& t = static_cast<const ADXLookupTable&>(object);
      s << "entries=" << t.EntryCount() << " output=" << (t.outputtype == kLookupText ? "text" : "number")
        << " mode=" << t.lookupmode;
      break;
    }
    case ADX_TYPE_LISTVIEW: {
      const auto& l = static_cast<const ADXListView&>(object);
      s << "rows=" << l.EntryCount() << " items=";
      bool first = true;
      for (const ListViewEntry& e : l.entries) {
        if (e.entrytype == kListEntrySeparator) continue;
        s << (first ? "" : ",") << RefTo(e.item, e.itemidhash);
        first = false;
      }
      if (first) s << '-';
      break;
    }
    case ADX_TYPE_DASHBOARD: {
      const auto& d = static_cast<const ADXDashboard&>(object);
      s << "gauges=" << d.EntryCount() << " items=";
      bool first = true;
      for (const DashboardEntry& e : d.entries) {
        s << (first ? "" : ",") << RefTo(e.item, e.itemidhash);
        first = false;
      }
      if (first) s << '-';
      break;
    }
    case ADX_TYPE_MONITOR: {
      const auto& m = static_cast<const ADXMonitor&>(object);
      s << "series=" << m.EntryCount() << " items=";
      bool first = true;
      for (const MonitorSeries& e : m.entries) {
        s << (first ? "" : ",") << RefTo(e.item, e.itemidhash);
        first = false;
      }
      if (first) s << '-';
      break;
    }
    case ADX_TYPE_HISTOGRAM: {
      const auto& h = static_cast<const ADXHistogram&>(object);
      s << "command=" << ParentCommand(def, h.parentcmdidhash) << " grid=" << h.rows << 'x' << h.cols
        << " x=" << RefTo(h.xvalue, h.xidhash) << " y=" << RefTo(h.yvalue, h.yidhash)
        << " z=" << RefTo(h.zvalue, h.zidhash);
      break;
    }
    case ADX_TYPE_SENDCOMMAND: {
      const auto& c = static_cast<const ADXCSendCommand&>(object);
      s << "bytes=" << Bytes(c) << " reply=" << c.replysize << " timeout=" << c.replytimeout
        << " packet=" << c.packetoffset << '+' << c.packetsize
        << ((c.flags & kSendReadReply) ? " processed" : " not-processed");
      break;
    }
    case ADX_TYPE_LISTENSILENCE: {
      const auto& c = static_cast<const ADXCListenSilence&>(object);
      s << "silence=" << c.silencelen << " timeout=" << c.totaltimeout;
      break;
    }
    case ADX_TYPE_LISTENCHATTER: {
      const auto& c = static_cast<const ADXCListenChatter&>(object);
      s << "bytes=" << Bytes(c) << " timeout=" << c.listentimeout;
      break;
    }
    case ADX_TYPE_160BAUDLISTEN:
      s << "packet=" << static_cast<const ADXC160BaudListen&>(object).packetsize;
      break;
    case ADX_TYPE_TRIGGER:
      s << "updates=" << Hex(static_cast<const ADXCTrigger&>(object).triggertype);
      break;
    case ADX_TYPE_MACRO: {
      const auto& m = static_cast<const ADXMacro&>(object);
      s << "repeat=" << m.repeatcount << " steps=";
      bool first = true;
      for (const MacroNode& n : m.nodes) {
        s << (first ? "" : ",") << (n.command ? IdText(*n.command) : "?" + std::string(n.commandID));
        if (n.repeatcount != 1) s << 'x' << n.repeatcount;
        first = false;
      }
      if (first) s << '-';
      break;
    }
    default:
      break;
  }
  return s.str();
}

// Warnings the loader cannot give: duplicate IDs and hashes, and the
// references that stay hashes after loading (parent commands, variable links).
void CollectWarnings(const ADXDefinition& def, std::vector<std::string>& warnings) {
  std::map<std::string, const ADXObject*> byId;      // full IDs
  std::map<std::string, const ADXObject*> byRef;     // first 14 characters
  std::map<std::uint32_t, const ADXObject*> byHash;  // ID hashes
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    const ADXObject* o = def.ObjectAt(i);
    if (o == nullptr) continue;
    const std::string id(o->id, strnlen(o->id, kAdxIdMaxLength));
    if (id.empty()) {
      warnings.push_back("object " + std::to_string(i) + " (" + TypeName(*o) + ") has no ID");
      continue;
    }
    const std::string ref = id.substr(0, kAdxIdRefLength);
    if (auto [it, fresh] = byId.emplace(id, o); !fresh) {
      warnings.push_back("duplicate ID '" + IdText(*o) + "': references find only the first " +
                         TypeName(*it->second) + " with it");
    } else if (auto [r, freshRef] = byRef.emplace(ref, o); !freshRef) {
      warnings.push_back("IDs '" + IdText(*r->second) + "' and '" + IdText(*o) +
                         "' share their first 14 characters: references by name find only the first");
    } else if (auto [h, freshHash] = byHash.emplace(o->idhash, o); !freshHash) {
      warnings.push_back("IDs '" + IdText(*h->second) + "' and '" + IdText(*o) + "' have the same ID hash " +
                         Hex(o->idhash) + ": references find only the first");
    }
  }

  auto checkParent = [&](const ADXObject& o, std::uint32_t hash) {
    if (hash == 0) return;
    const ADXObject* c = def.FindByHash(hash);
    if (c == nullptr) {
      warnings.push_back(IdText(o) + ": parent command " + Hex(hash) + " not found");
    } else if (!c->IsType(ADX_MASK_PACKETCOMMANDS)) {
      warnings.push_back(IdText(o) + ": parent command '" + IdText(*c) + "' does not produce a reply packet");
    }
  };
  // An item must lie inside the packet of its command, in a size the decoder reads.
  auto checkField = [&](const ADXObject& o, std::uint32_t parent, std::uint32_t offset, std::int32_t bits) {
    if (bits != 8 && bits != 16 && bits != 32) {
      warnings.push_back(IdText(o) + ": size of " + std::to_string(bits) +
                         " bits; only 8, 16 and 32 are read");
      return;
    }
    const ADXObject* c = def.FindByHash(parent);
    std::int64_t packet = -1;
    if (c && c->objectType == ADX_TYPE_SENDCOMMAND) {
      const auto* send = static_cast<const ADXCSendCommand*>(c);
      packet = std::int64_t{send->replysize} - send->packetoffset;
    } else if (c && c->objectType == ADX_TYPE_160BAUDLISTEN) {
      packet = static_cast<const ADXC160BaudListen*>(c)->packetsize;
    }
    if (packet >= 0 && std::int64_t{offset} + bits / 8 > packet) {
      warnings.push_back(IdText(o) + ": bytes " + std::to_string(offset) + " to " +
                         std::to_string(std::int64_t{offset} + bits / 8 - 1) + " lie beyond the " +
                         std::to_string(packet) + "-byte packet of '" + IdText(*c) + "'");
    }
  };
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    const ADXObject* o = def.ObjectAt(i);
    if (o == nullptr) continue;
    std::int32_t size = 0;
    if (o->objectType == ADX_TYPE_SENDCOMMAND) size = static_cast<const ADXCSendCommand*>(o)->replysize;
    if (o->objectType == ADX_TYPE_160BAUDLISTEN) size = static_cast<const ADXC160BaudListen*>(o)->packetsize;
    if (o->objectType == ADX_TYPE_HISTOGRAM) {
      const auto& h = static_cast<const ADXHistogram&>(*o);
      if (h.HistoryWasCut()) {
        warnings.push_back(IdText(*o) + ": history size " + std::to_string(h.RequestedHistorySize()) +
                           " is cut to " + std::to_string(h.GetHistorySize()) + " to keep the " +
                           std::to_string(h.rows) + "x" + std::to_string(h.cols) + " grid within " +
                           std::to_string(kHistogramHistoryBudgetBytes >> 20) + " MiB");
      }
    }
    if (size > kMaxPacketBytes) {
      warnings.push_back(IdText(*o) + ": size of " + std::to_string(size) + " bytes is beyond " +
                         std::to_string(kMaxPacketBytes) + "; the command fails when it runs");
    }
    if (o->objectType == ADX_TYPE_VALUE) {
      const auto& v = static_cast<const ADXValue&>(*o);
      checkParent(v, v.parentcmdidhash);
      checkField(v, v.parentcmdidhash, v.packetoffset, v.sizeinbits);
      for (const ValueVariable& var : v.variables) {
        if (var.kind != kVariableLink) continue;
        const ADXObject* target = def.FindByHash(var.linkhash);
        if (target == nullptr) {
          warnings.push_back(IdText(v) + ": variable " + var.varID + " links to " + Hex(var.linkhash) +
                             ", which is not found");
        } else if (target->objectType != ADX_TYPE_VALUE) {
          warnings.push_back(IdText(v) + ": variable " + var.varID + " links to '" + IdText(*target) +
                             "', which is not a value");
        }
      }
    } else if (o->objectType == ADX_TYPE_BITMASK) {
      const auto& b = static_cast<const ADXBitmask&>(*o);
      checkParent(b, b.parentcmdidhash);
      checkField(b, b.parentcmdidhash, b.packetoffset, b.sizeinbits);
    } else if (o->objectType == ADX_TYPE_HISTOGRAM) {
      checkParent(*o, static_cast<const ADXHistogram&>(*o).parentcmdidhash);
    }
  }
}

}  // namespace

int RunInfo(const CliArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    if (!args.empty() && args[0].size() > 1 && args[0][0] == '-')
      err << "varnak-cli info: unknown option '" << args[0] << "'\n";
    err << "usage: varnak-cli info FILE.adx\n";
    return kExitUsage;
  }
  ADXDefinition def;
  AdxLoadReport report;
  if (!LoadDefinitionForCli(def, args[0], err, &report)) return kExitFailure;

  std::ostringstream text;
  text << "file: " << args[0] << '\n';
  text << "flags: " << Hex(def.flags, 2) << ((def.flags & kHeaderEcho) ? " (echo)" : "") << '\n';
  text << "baud: " << def.baud << '\n';
  if (!def.userversion.empty()) text << "user version: " << OneLine(def.userversion) << '\n';
  if (!def.author.empty()) text << "author: " << OneLine(def.author) << '\n';
  if (!def.desc.empty()) text << "description: " << OneLine(def.desc) << '\n';
  text << "connect: " << (def.connectcmd ? IdText(*def.connectcmd) : "-") << '\n';
  text << "monitor: " << (def.monitorcmd ? IdText(*def.monitorcmd) : "-") << '\n';
  text << "disconnect: " << (def.disconnectcmd ? IdText(*def.disconnectcmd) : "-") << '\n';
  text << "objects: " << def.ObjectCount() << '\n';
  char line[96];
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    const ADXObject* o = def.ObjectAt(i);
    if (o == nullptr) continue;
    std::snprintf(line, sizeof(line), "  %-11s %-15s ", TypeName(*o), IdText(*o).c_str());
    text << line << '"' << OneLine(o->title) << "\" " << Describe(def, *o) << '\n';
  }

  std::vector<std::string> warnings = report.unresolved;
  CollectWarnings(def, warnings);
  for (const std::string& w : warnings) text << "warning: " << OneLine(w) << '\n';
  text << warnings.size() << (warnings.size() == 1 ? " warning\n" : " warnings\n");
  out << Latin1ToUtf8(text.str());
  return kExitOk;
}
