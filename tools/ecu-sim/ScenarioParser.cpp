// Scenario files of the simulated ECU
// ===================================
//
// A line-oriented text file. "#" starts a comment that runs to the end of the
// line; blank lines are ignored; words are separated by blanks. Numbers are
// decimal, or hexadecimal with "0x". Byte lists are hexadecimal without "0x"
// (a "0x" in front is allowed) and may be written as separate bytes
// ("F4 56 08 AE") or run together ("F45608AE").
//
// Settings, before the first section:
//   baud N             line speed (default 8192)
//   echo on|off        single-wire link: every received byte comes straight back,
//                      and bytes sent while the ECU is sending are not understood
//   pace on|off        send no faster than the baud rate (10 bit times a byte)
//   chatter on|off     the script runs from the start (otherwise an exchange starts it)
//   loop on|off        the script starts again when it reaches its end
//   strict-baud on|off requests sent with the port at another speed are not understood
//   seed N             seed of the random-walk fields
//
// An exchange: a request the ECU answers and its reply.
//   exchange NAME
//     request BYTES...           (required; more lines append)
//     reply BYTES...             reply template (more lines append)
//     fill COUNT BYTE            append COUNT copies of BYTE to the reply
//     checksum                   append a byte so that the reply sums to 0 modulo 256
//     delay MS                   wait this long before the first reply byte
//     field OFFSET SIZE SHAPE MIN MAX PERIOD [big|little] [phase F]
//                                a raw value of SIZE (1-4) bytes at OFFSET of the reply,
//                                moving between MIN and MAX over PERIOD ms; SHAPE is
//                                constant, ramp, triangle, sine, step or walk (random)
//     flag OFFSET MASK PERIOD [duty F] [phase F]
//                                the MASK bits of the byte at OFFSET are set for the
//                                DUTY share (default 0.5) of every PERIOD ms
//     chatter on|off             after answering, start or stop the script
//
// The script: what the ECU sends by itself, one step after the other.
//   script
//     send BYTES...              send the bytes once
//     send-reply NAME            send the current reply of an exchange once
//     repeat DURATION INTERVAL BYTES...
//                                send the bytes every INTERVAL ms for DURATION ms
//     silence MS                 send nothing for MS
//     packet160 BYTES...         send the bytes as one 160-baud packet
//     packet160-reply NAME       send the current reply of an exchange as one 160-baud packet
//     fault KIND ...             drop N | short N LENGTH | checksum N | garbage BYTES... |
//                                byte-delay MS | close AFTER
//
// Offsets count from the first byte of the reply (its header included).
//
// How it plays: an exchange answers when the latest bytes received end with
// its request (the longest such request wins; the bytes are then used up).
// Replies and script output share one queue; a script step starts only when
// the bytes before it have gone out, and requests are answered at any time,
// also during a silence. A 160-baud packet is a non-zero lead-in byte, nine
// zero bytes of sync, then nine bytes per data byte: a non-zero start marker
// and the bits from the highest down, a zero byte for a 1 bit. Faults count
// the replies that follow (answers and send-reply steps alike); garbage goes
// out as soon as the queue ahead of it has; a byte delay stays until set to 0.

#include "tools/ecu-sim/ScenarioParser.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

constexpr std::size_t kMaxFileSize = 1024 * 1024;
constexpr std::size_t kMaxReplySize = 64 * 1024;
constexpr unsigned kMaxMilliseconds = 24u * 3600u * 1000u;

struct ParseError {
  std::string message;
};

std::vector<std::string> splitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') break;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') ++i;
    words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends the bytes of one word: "7", "F4", "0xF4" or a run such as "F45608AE".
void appendHexWord(std::string word, EcuBytes& out) {
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) word.erase(0, 2);
  for (char c : word)
    if (hexDigit(c) < 0) throw ParseError{"'" + word + "' is not a hexadecimal byte list"};
  if (word.size() == 1) {
    out.push_back(static_cast<std::uint8_t>(hexDigit(word[0])));
    return;
  }
  if (word.size() % 2 != 0) throw ParseError{"'" + word + "' has an odd number of hexadecimal digits"};
  for (std::size_t i = 0; i < word.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(hexDigit(word[i]) * 16 + hexDigit(word[i + 1])));
}

EcuBytes hexBytes(const std::vector<std::string>& words, std::size_t first) {
  EcuBytes bytes;
  for (std::size_t i = first; i < words.size(); ++i) appendHexWord(words[i], bytes);
  return bytes;
}

unsigned long long unsignedNumber(const std::string& word, unsigned long long largest, const char* what) {
  unsigned long long value = 0;
  const char* begin = word.data();
  const char* end = word.data() + word.size();
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    begin += 2;
    base = 16;
  }
  auto [ptr, ec] = std::from_chars(begin, end, value, base);
  if (ec != std::errc() || ptr != end || begin == end)
    throw ParseError{std::string(what) + " '" + word + "' is not a number"};
  if (value > largest)
    throw ParseError{std::string(what) + " " + word + " is larger than " + std::to_string(largest)};
  return value;
}

double realNumber(const std::string& word, const char* what) {
  // from_chars reads the same in every locale; it takes no "+" of its own.
  const char* begin =
      word.c_str() + (!word.empty() && word[0] == '+' && word.size() > 1 && word[1] != '-' ? 1 : 0);
  const char* end = word.c_str() + word.size();
  double value = 0.0;
  const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::general);
  if (word.empty() || stop != end || ec != std::errc() || !std::isfinite(value))
    throw ParseError{std::string(what) + " '" + word + "' is not a number"};
  return value;
}

unsigned milliseconds(const std::string& word, const char* what) {
  return static_cast<unsigned>(unsignedNumber(word, kMaxMilliseconds, what));
}

bool onOff(const std::vector<std::string>& words) {
  if (words.size() != 2 || (words[1] != "on" && words[1] != "off"))
    throw ParseError{"'" + words[0] + "' takes 'on' or 'off'"};
  return words[1] == "on";
}

void needCount(const std::vector<std::string>& words, std::size_t least, std::size_t most,
               const char* usage) {
  if (words.size() < least || words.size() > most) throw ParseError{std::string("usage: ") + usage};
}

FieldShape shapeNamed(const std::string& word) {
  if (word == "constant") return FieldShape::Constant;
  if (word == "ramp") return FieldShape::Ramp;
  if (word == "triangle") return FieldShape::Triangle;
  if (word == "sine") return FieldShape::Sine;
  if (word == "step") return FieldShape::Step;
  if (word == "walk") return FieldShape::RandomWalk;
  throw ParseError{"unknown field shape '" + word + "' (constant, ramp, triangle, sine, step, walk)"};
}

double fraction(const std::string& word, const char* what) {
  double value = realNumber(word, what);
  if (value < 0.0 || value > 1.0) throw ParseError{std::string(what) + " must lie between 0 and 1"};
  return value;
}

FaultSpec parseFault(const std::vector<std::string>& words) {
  if (words.size() < 2) throw ParseError{"usage: fault drop|short|checksum|garbage|byte-delay|close ..."};
  const std::string& kind = words[1];
  FaultSpec fault;
  auto count = [&](std::size_t i) { return static_cast<int>(unsignedNumber(words[i], 1000000, "count")); };
  if (kind == "drop") {
    needCount(words, 3, 3, "fault drop COUNT");
    fault.kind = FaultKind::DropReplies;
    fault.count = count(2);
  } else if (kind == "short") {
    needCount(words, 4, 4, "fault short COUNT LENGTH");
    fault.kind = FaultKind::ShortReplies;
    fault.count = count(2);
    fault.length = unsignedNumber(words[3], kMaxReplySize, "length");
  } else if (kind == "checksum") {
    needCount(words, 3, 3, "fault checksum COUNT");
    fault.kind = FaultKind::BadChecksums;
    fault.count = count(2);
  } else if (kind == "garbage") {
    needCount(words, 3, SIZE_MAX, "fault garbage BYTES...");
    fault.kind = FaultKind::Garbage;
    fault.bytes = hexBytes(words, 2);
  } else if (kind == "byte-delay") {
    needCount(words, 3, 3, "fault byte-delay MS");
    fault.kind = FaultKind::ByteDelay;
    fault.length = milliseconds(words[2], "delay");
  } else if (kind == "close") {
    needCount(words, 3, 3, "fault close AFTER-BYTES");
    fault.kind = FaultKind::CloseAfter;
    fault.length = unsignedNumber(words[2], 1ull << 40, "byte count");
  } else {
    throw ParseError{"unknown fault '" + kind + "' (drop, short, checksum, garbage, byte-delay, close)"};
  }
  return fault;
}

class Parser {
 public:
  explicit Parser(EcuScenario& scenario) : scenario_(scenario) {}

  void line(const std::vector<std::string>& words, int lineNumber) {
    const std::string& key = words[0];
    if (key == "exchange") {
      finishExchange();
      needCount(words, 2, 2, "exchange NAME");
      if (scenario_.findExchange(words[1]) >= 0)
        throw ParseError{"exchange '" + words[1] + "' is defined twice"};
      section_ = Section::Exchange;
      scenario_.exchanges.emplace_back();
      scenario_.exchanges.back().name = words[1];
      exchangeLine_ = lineNumber;
      requestLine_ = 0;
      itemLines_.clear();
      return;
    }
    if (key == "script") {
      finishExchange();
      needCount(words, 1, 1, "script");
      if (scriptSeen_) throw ParseError{"there is only one script"};
      scriptSeen_ = true;
      section_ = Section::Script;
      return;
    }
    switch (section_) {
      case Section::Settings:
        setting(words, lineNumber);
        break;
      case Section::Exchange:
        exchangeLine(words, lineNumber);
        break;
      case Section::Script:
        scriptLine(words, lineNumber);
        break;
    }
  }

  // Checks that need the whole exchange (fields against the final reply
  // length); throws with the offending line in `errorLine`.
  void finishExchange() {
    if (section_ != Section::Exchange) return;
    const Exchange& exchange = scenario_.exchanges.back();
    if (exchange.request.empty()) fail(exchangeLine_, "exchange '" + exchange.name + "' has no request");
    for (std::size_t i = 0; i + 1 < scenario_.exchanges.size(); ++i)
      if (scenario_.exchanges[i].request == exchange.request)
        fail(requestLine_, "exchange '" + scenario_.exchanges[i].name + "' has the same request");
    for (const auto& [line, offset, size] : itemLines_)
      if (offset >= exchange.reply.size() || size > exchange.reply.size() - offset)
        fail(line, std::to_string(size) + " byte(s) at offset " + std::to_string(offset) +
                       " lie outside the reply (" + std::to_string(exchange.reply.size()) +
                       " bytes, checksum not counted)");
  }

  void finish() {
    finishExchange();
    for (const auto& [line, name, index] : replyRefs_) {
      int found = scenario_.findExchange(name);
      if (found < 0) fail(line, "no exchange named '" + name + "'");
      scenario_.script[index].exchange = static_cast<std::size_t>(found);
    }
    if (std::string problem = scenario_.validate(); !problem.empty())
      fail(loopLine_ ? loopLine_ : 1, problem);
  }

  int errorLine = 0;

 private:
  enum class Section { Settings, Exchange, Script };

  [[noreturn]] void fail(int line, std::string message) {
    errorLine = line;
    throw ParseError{std::move(message)};
  }

  void setting(const std::vector<std::string>& words, int lineNumber) {
    const std::string& key = words[0];
    if (key == "baud") {
      needCount(words, 2, 2, "baud N");
      scenario_.baud = static_cast<unsigned>(unsignedNumber(words[1], 4000000, "baud rate"));
      if (scenario_.baud == 0) throw ParseError{"the baud rate must be greater than 0"};
    } else if (key == "echo") {
      scenario_.echo = onOff(words);
    } else if (key == "pace") {
      scenario_.pace = onOff(words);
    } else if (key == "chatter") {
      scenario_.chatter = onOff(words);
    } else if (key == "loop") {
      scenario_.loop = onOff(words);
      loopLine_ = lineNumber;
    } else if (key == "strict-baud") {
      scenario_.strictBaud = onOff(words);
    } else if (key == "seed") {
      needCount(words, 2, 2, "seed N");
      scenario_.seed = static_cast<std::uint32_t>(unsignedNumber(words[1], 0xFFFFFFFFull, "seed"));
    } else {
      throw ParseError{"unknown setting '" + key + "'"};
    }
  }

  void growReply(Exchange& exchange, const EcuBytes& bytes) {
    if (exchange.appendChecksum) throw ParseError{"reply bytes cannot follow 'checksum'"};
    if (exchange.reply.size() + bytes.size() > kMaxReplySize)
      throw ParseError{"a reply holds at most " + std::to_string(kMaxReplySize) + " bytes"};
    exchange.reply.insert(exchange.reply.end(), bytes.begin(), bytes.end());
  }

  void exchangeLine(const std::vector<std::string>& words, int lineNumber) {
    Exchange& exchange = scenario_.exchanges.back();
    const std::string& key = words[0];
    if (key == "request") {
      needCount(words, 2, SIZE_MAX, "request BYTES...");
      EcuBytes bytes = hexBytes(words, 1);
      if (exchange.request.size() + bytes.size() > 256) throw ParseError{"a request holds at most 256 bytes"};
      exchange.request.insert(exchange.request.end(), bytes.begin(), bytes.end());
      if (requestLine_ == 0) requestLine_ = lineNumber;
    } else if (key == "reply") {
      needCount(words, 2, SIZE_MAX, "reply BYTES...");
      growReply(exchange, hexBytes(words, 1));
    } else if (key == "fill") {
      needCount(words, 3, 3, "fill COUNT BYTE");
      std::size_t count = unsignedNumber(words[1], kMaxReplySize, "count");
      EcuBytes value;
      appendHexWord(words[2], value);
      if (value.size() != 1) throw ParseError{"fill takes a single byte"};
      growReply(exchange, EcuBytes(count, value[0]));
    } else if (key == "checksum") {
      needCount(words, 1, 1, "checksum");
      if (exchange.appendChecksum) throw ParseError{"the checksum is already added"};
      exchange.appendChecksum = true;
    } else if (key == "delay") {
      needCount(words, 2, 2, "delay MS");
      exchange.delayMs = milliseconds(words[1], "delay");
    } else if (key == "field") {
      exchange.fields.push_back(field(words));
      itemLines_.push_back({lineNumber, exchange.fields.back().offset, exchange.fields.back().size});
    } else if (key == "flag") {
      exchange.flags.push_back(flag(words));
      itemLines_.push_back({lineNumber, exchange.flags.back().offset, 1});
    } else if (key == "chatter") {
      exchange.chatter = onOff(words) ? ChatterControl::Start : ChatterControl::Stop;
    } else {
      throw ParseError{"unknown exchange statement '" + key + "'"};
    }
  }

  static DynamicField field(const std::vector<std::string>& words) {
    const char* usage = "field OFFSET SIZE SHAPE MIN MAX PERIOD [big|little] [phase F]";
    needCount(words, 7, 10, usage);
    DynamicField f;
    f.offset = unsignedNumber(words[1], kMaxReplySize, "offset");
    f.size = unsignedNumber(words[2], 4, "size");
    if (f.size == 0) throw ParseError{"a field is 1 to 4 bytes long"};
    f.shape = shapeNamed(words[3]);
    f.minimum = realNumber(words[4], "minimum");
    f.maximum = realNumber(words[5], "maximum");
    const double largest = std::ldexp(1.0, static_cast<int>(8 * f.size)) - 1.0;
    if (f.minimum < 0.0 || f.maximum > largest || f.minimum > f.maximum)
      throw ParseError{"field limits must satisfy 0 <= MIN <= MAX <= " +
                       std::to_string(static_cast<long long>(largest))};
    f.periodMs = realNumber(words[6], "period");
    if (f.periodMs <= 0.0) throw ParseError{"the period must be greater than 0"};
    for (std::size_t i = 7; i < words.size(); ++i) {
      if (words[i] == "big") {
        f.bigEndian = true;
      } else if (words[i] == "little") {
        f.bigEndian = false;
      } else if (words[i] == "phase" && i + 1 < words.size()) {
        f.phase = fraction(words[++i], "phase");
      } else {
        throw ParseError{std::string("usage: ") + usage};
      }
    }
    return f;
  }

  static FlagBits flag(const std::vector<std::string>& words) {
    const char* usage = "flag OFFSET MASK PERIOD [duty F] [phase F]";
    needCount(words, 4, 8, usage);
    FlagBits f;
    f.offset = unsignedNumber(words[1], kMaxReplySize, "offset");
    f.mask = static_cast<std::uint8_t>(unsignedNumber(words[2], 0xFF, "mask"));
    if (f.mask == 0) throw ParseError{"a flag needs a non-zero mask"};
    f.periodMs = realNumber(words[3], "period");
    if (f.periodMs <= 0.0) throw ParseError{"the period must be greater than 0"};
    for (std::size_t i = 4; i < words.size(); ++i) {
      if (words[i] == "duty" && i + 1 < words.size()) {
        f.duty = fraction(words[++i], "duty");
      } else if (words[i] == "phase" && i + 1 < words.size()) {
        f.phase = fraction(words[++i], "phase");
      } else {
        throw ParseError{std::string("usage: ") + usage};
      }
    }
    return f;
  }

  void scriptLine(const std::vector<std::string>& words, int lineNumber) {
    ScriptAction action;
    const std::string& key = words[0];
    if (key == "send") {
      needCount(words, 2, SIZE_MAX, "send BYTES...");
      action.kind = ActionKind::Send;
      action.bytes = hexBytes(words, 1);
    } else if (key == "send-reply") {
      needCount(words, 2, 2, "send-reply NAME");
      action.kind = ActionKind::SendReply;
      replyRefs_.push_back({lineNumber, words[1], scenario_.script.size()});
    } else if (key == "packet160-reply") {
      needCount(words, 2, 2, "packet160-reply NAME");
      action.kind = ActionKind::Packet160Reply;
      replyRefs_.push_back({lineNumber, words[1], scenario_.script.size()});
    } else if (key == "repeat") {
      needCount(words, 4, SIZE_MAX, "repeat DURATION INTERVAL BYTES...");
      action.kind = ActionKind::Repeat;
      action.durationMs = milliseconds(words[1], "duration");
      action.intervalMs = milliseconds(words[2], "interval");
      if (action.intervalMs == 0) throw ParseError{"the interval must be greater than 0"};
      action.bytes = hexBytes(words, 3);
    } else if (key == "silence") {
      needCount(words, 2, 2, "silence MS");
      action.kind = ActionKind::Silence;
      action.durationMs = milliseconds(words[1], "duration");
    } else if (key == "packet160") {
      needCount(words, 2, SIZE_MAX, "packet160 BYTES...");
      action.kind = ActionKind::Packet160;
      action.bytes = hexBytes(words, 1);
    } else if (key == "fault") {
      action.kind = ActionKind::Fault;
      action.fault = parseFault(words);
    } else {
      throw ParseError{"unknown script step '" + key + "'"};
    }
    scenario_.script.push_back(std::move(action));
  }

  struct ItemLine {
    int line;
    std::size_t offset;
    std::size_t size;
  };
  struct ReplyRef {
    int line;
    std::string name;
    std::size_t index;
  };

  EcuScenario& scenario_;
  Section section_ = Section::Settings;
  bool scriptSeen_ = false;
  int exchangeLine_ = 0;
  int requestLine_ = 0;
  int loopLine_ = 0;
  std::vector<ItemLine> itemLines_;
  std::vector<ReplyRef> replyRefs_;
};

}  // namespace

bool parseScenario(std::string_view text, const std::string& fileName, EcuScenario& scenario,
                   std::string& error) {
  EcuScenario result;
  Parser parser(result);
  int lineNumber = 0;
  std::size_t pos = 0;
  try {
    while (pos <= text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      ++lineNumber;
      if (line.find('\0') != std::string_view::npos) throw ParseError{"the line holds a NUL byte"};
      std::vector<std::string> words = splitWords(line);
      if (!words.empty()) parser.line(words, lineNumber);
      pos = end + 1;
    }
    lineNumber = 0;
    parser.finish();
  } catch (const ParseError& e) {
    int line = parser.errorLine != 0 ? parser.errorLine : lineNumber;
    error = fileName + ":" + std::to_string(line) + ": " + e.message;
    return false;
  }
  scenario = std::move(result);
  return true;
}

bool loadScenarioFile(const std::string& path, EcuScenario& scenario, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ":0: cannot open the file";
    return false;
  }
  std::string text;
  text.resize(kMaxFileSize + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) {
    error = path + ":0: cannot read the file";
    return false;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kMaxFileSize) {
    error = path + ":0: the file is larger than 1 MiB";
    return false;
  }
  return parseScenario(text, path, scenario, error);
}
