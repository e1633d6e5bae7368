#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "xml/XmlSaxParser.h"
#include "xml/XmlWriter.h"

#ifdef VARNAK_BENCH_TINYXML2
#include <tinyxml2.h>
#endif

namespace {

// A definition-like document of about 1 MB: objects with attributes,
// children, entities, comments and an occasional CDATA section.
const std::string& Document() {
  static const std::string document = [] {
    std::string doc = "<ADXFORMAT version=\"0.50\" />\r\n<!-- Written 12/08/2026 01:02:03 -->\r\n";
    for (int i = 0; doc.size() < 1000000; ++i) {
      const std::string n = std::to_string(i);
      doc += "\n<ADXVALUE id=\"V" + n + "\" idhash=\"0x" + std::to_string(10000000 + i) +
             "\" title=\"Value " + n +
             " &amp; &quot;more&quot;\">\r\n"
             "    <desc>Decoded from byte " +
             n + " of the reply &lt;raw&gt;</desc>\r\n" +
             "    <parentcmdidhash>0x1234ABCD</parentcmdidhash>\r\n"
             "    <units>deg C</units>\r\n"
             "    <packetoffset>0x1A</packetoffset>\r\n"
             "    <range low=\"-40.000000\" high=\"150.000000\" />\r\n"
             "    <alarms low=\"0.000000\" high=\"120.000000\" />\r\n"
             "    <digcount>2</digcount>\r\n"
             "    <outputtype>1</outputtype>\r\n"
             "    <MATH equation=\"X*0.75-40\">\r\n"
             "        <VAR varID=\"X\" type=\"native\" />\r\n"
             "    </MATH>\r\n" +
             (i % 10 == 0
                  ? "    <!-- every tenth value has a note -->\r\n    <note><![CDATA[raw <text>]]></note>\r\n"
                  : "") +
             "</ADXVALUE>\r\n";
    }
    return doc;
  }();
  return document;
}

const std::string& DocumentFile() {
  static const std::string path = [] {
    std::string p =
        (std::filesystem::temp_directory_path() / ("varnak_xml_bench_" + std::to_string(::getpid()) + ".xml"))
            .string();
    std::ofstream(p, std::ios::binary) << Document();
    return p;
  }();
  return path;
}

class CountingCallback : public ISAXCallback {
 public:
  int64_t events = 0;
  int32_t StartDocument() override { return 0; }
  int32_t EndDocument() override { return 0; }
  int32_t StartElement(const char16_t*, int32_t, const SAXAttribute*, int32_t count) override {
    events += 1 + count;
    return 0;
  }
  int32_t Characters(const char16_t*, int32_t, bool) override { return Count(); }
  int32_t EndElement(const char16_t*, int32_t) override { return Count(); }
  int32_t StartCData() override { return 0; }
  int32_t CData(const char16_t*, int32_t, bool) override { return Count(); }
  int32_t EndCData() override { return 0; }
  int32_t Error(int32_t, const char*) override { return 0; }

 private:
  int32_t Count() {
    ++events;
    return 0;
  }
};

void BM_XmlSaxParser_File(benchmark::State& state) {
  const std::string& path = DocumentFile();
  for (auto _ : state) {
    CountingCallback callback;
    XmlSaxParser parser;
    parser.SetCallback(&callback);
    if (parser.Parse(path.c_str()) != kXmlOk) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(callback.events);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_XmlSaxParser_File)->Unit(benchmark::kMillisecond);

void BM_XmlSaxParser_Memory(benchmark::State& state) {
  const std::string& doc = Document();
  for (auto _ : state) {
    CountingCallback callback;
    XmlSaxParser parser;
    parser.SetCallback(&callback);
    if (parser.ParseMemory(doc.data(), doc.size()) != kXmlOk) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(callback.events);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_XmlSaxParser_Memory)->Unit(benchmark::kMillisecond);

#ifdef VARNAK_BENCH_TINYXML2
void BM_TinyXml2_LoadFile(benchmark::State& state) {
  const std::string& path = DocumentFile();
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.FirstChild());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_TinyXml2_LoadFile)->Unit(benchmark::kMillisecond);

void BM_TinyXml2_Parse(benchmark::State& state) {
  const std::string& text = Document();
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.FirstChild());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TinyXml2_Parse)->Unit(benchmark::kMillisecond);
#endif

// Writing a document of the same shape through the buffered writer.
void BM_XmlWriter(benchmark::State& state) {
  const std::string path = DocumentFile() + ".out";
  int64_t bytes = 0;
  for (auto _ : state) {
    XmlWriter writer;
    if (!writer.Open(path.c_str())) state.SkipWithError("open failed");
    for (int i = 0; i < 2400; ++i) {
      writer.Text("\n");
      writer.BeginElement("ADXVALUE");
      writer.Attribute("id", "V" + std::to_string(i));
      writer.Attribute("title", XmlWriter::EscapeText("Value & \"more\""));
      writer.ElementText("desc", XmlWriter::EscapeText("Decoded from byte of the reply <raw>"));
      writer.ElementText("packetoffset", "0x1A");
      writer.BeginElement("range");
      writer.AttributeFloat("low", -40.0);
      writer.AttributeFloat("high", 150.0);
      writer.EndElement();
      writer.ElementInt("digcount", 2);
      writer.BeginElement("MATH");
      writer.Attribute("equation", "X*0.75-40");
      writer.BeginElement("VAR");
      writer.Attribute("varID", "X");
      writer.EndElement();
      writer.EndElement();
      writer.EndElement();
    }
    if (!writer.Close()) state.SkipWithError("write failed");
    bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  std::filesystem::remove(path);
}
BENCHMARK(BM_XmlWriter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(DocumentFile());
  return 0;
}
