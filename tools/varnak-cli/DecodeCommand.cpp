// varnak-cli decode FILE.adx --command ID --packet HEX: lets the definition
// take its raw numbers from one reply, exactly as a received packet does, and
// prints every value and bitmask as CSV (id,title,value), the value being the
// text an item list shows.
#include <cstring>
#include <ostream>
#include <sstream>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {

constexpr const char* kUsage = "usage: varnak-cli decode FILE.adx --command ID --packet HEX\n";

struct DecodeOptions {
  std::string file;
  std::string command;
  std::string packet;
  bool haveCommand = false;
  bool havePacket = false;
};

// Reads "--name VALUE" and "--name=VALUE"; false for anything unexpected.
bool ParseOptions(const CliArgs& args, DecodeOptions& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string value;
    bool isCommand = a == "--command" || a.rfind("--command=", 0) == 0;
    bool isPacket = a == "--packet" || a.rfind("--packet=", 0) == 0;
    if (isCommand || isPacket) {
      std::size_t eq = a.find('=');
      if (eq != std::string::npos) {
        value = a.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return false;
      }
      (isCommand ? o.command : o.packet) = value;
      (isCommand ? o.haveCommand : o.havePacket) = true;
    } else if ((a.size() > 1 && a[0] == '-') || !o.file.empty()) {
      return false;
    } else {
      o.file = a;
    }
  }
  return !o.file.empty() && o.haveCommand && o.havePacket;
}

// The object whose whole ID equals the text (IDs hold up to 15 characters).
ADXObject* FindByFullId(const ADXDefinition& def, const std::string& id) {
  if (id.empty() || id.size() > kAdxIdMaxLength) return nullptr;
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    ADXObject* o = def.ObjectAt(i);
    if (o && strnlen(o->id, kAdxIdMaxLength) == id.size() && std::memcmp(o->id, id.data(), id.size()) == 0) {
      return o;
    }
  }
  return nullptr;
}

}  // namespace

int RunDecode(const CliArgs& args, std::ostream& out, std::ostream& err) {
  DecodeOptions o;
  if (!ParseOptions(args, o)) {
    err << kUsage;
    return kExitUsage;
  }
  ADXDefinition def;
  if (!LoadDefinitionForCli(def, o.file, err)) return kExitFailure;

  ADXObject* command = FindByFullId(def, o.command);
  if (command == nullptr) {
    err << o.file << ": unknown command '" << Latin1ToUtf8(o.command) << "'\n";
    return kExitFailure;
  }
  if (!command->IsType(ADX_MASK_PACKETCOMMANDS)) {
    err << o.file << ": '" << Latin1ToUtf8(o.command) << "' is a " << TypeName(*command)
        << ", not a command that receives a reply packet\n";
    return kExitFailure;
  }
  std::optional<std::vector<std::uint8_t>> reply = ParseHexBytes(o.packet);
  if (!reply) {
    err << "bad hex in --packet: give bytes as pairs of hex digits, spaces allowed (\"F4 92 01\")\n";
    return kExitFailure;
  }

  // A send command's packet starts packetoffset bytes into its reply; a
  // 160-baud packet is the data itself.
  std::size_t offset = 0;
  if (command->objectType == ADX_TYPE_SENDCOMMAND) {
    const auto* send = static_cast<const ADXCSendCommand*>(command);
    if (send->packetoffset < 0 || static_cast<std::size_t>(send->packetoffset) > reply->size()) {
      err << "the reply of " << reply->size() << " bytes is shorter than the packet offset "
          << send->packetoffset << " of '" << Latin1ToUtf8(o.command) << "'\n";
      return kExitFailure;
    }
    offset = static_cast<std::size_t>(send->packetoffset);
    if (send->replysize > 0 && reply->size() != static_cast<std::size_t>(send->replysize)) {
      err << "note: the reply has " << reply->size() << " bytes; '" << Latin1ToUtf8(o.command) << "' expects "
          << send->replysize << "\n";
    }
  }
  def.UpdateRawValues(reply->data() + offset, reply->size() - offset, command->idhash);

  std::ostringstream csv;
  csv << "id,title,value\n";
  char text[512];
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    ADXObject* item = def.ObjectAt(i);
    if (item == nullptr || !item->IsType(ADX_TYPE_VALUE | ADX_TYPE_BITMASK)) continue;
    text[0] = '\0';
    // Every item now holds its raw number; decoding without a packet works
    // from those, so linked values of this command see this reply too.
    if (item->objectType == ADX_TYPE_VALUE) {
      static_cast<ADXValue*>(item)->Format(text, sizeof(text), &def, nullptr, 0, 0, 0);
    } else {
      static_cast<ADXBitmask*>(item)->TestBitsText(text, sizeof(text), &def, nullptr, 0, 0, 0);
    }
    csv << CsvField(IdText(*item)) << ',' << CsvField(item->title) << ',' << CsvField(text) << '\n';
  }
  out << Latin1ToUtf8(csv.str());
  return kExitOk;
}
