#include "analysis/LogHistograms.h"

#include "analysis/AnalysisText.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

std::vector<ADXHistogram*> DefinitionHistograms(const ADXDefinition& definition) {
  std::vector<ADXHistogram*> out;
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object != nullptr && object->objectType == ADX_TYPE_HISTOGRAM)
      out.push_back(static_cast<ADXHistogram*>(object));
  }
  return out;
}

void FillHistograms(const LogBinding& binding, const std::vector<ADXHistogram*>& histograms,
                    const TimeRange& range) {
  for (ADXHistogram* h : histograms) h->ClearData();
  const LogData& log = binding.Log();
  const std::size_t first = log.LowerBound(range.fromSeconds);
  const std::size_t last = log.UpperBound(range.toSeconds);
  if (first >= last || histograms.empty()) return;
  const ADXDefinition* definition = &binding.Definition();
  std::vector<ADXObject*> reads;
  for (ADXHistogram* h : histograms) {
    for (ADXValue* v : {h->xvalue, h->yvalue, h->zvalue}) {
      if (v != nullptr) reads.push_back(v);
    }
  }
  ReplayLog(binding, first, last, reads, [&](std::size_t, const BoundPacket& packet) {
    for (ADXHistogram* h : histograms) {
      if (h->parentcmdidhash != 0 && h->parentcmdidhash != packet.command) continue;
      (void)h->AddSampleFromPacket(definition, packet.data, packet.length, packet.command);
    }
  });
}

std::vector<float> AxisBreakpoints(std::int32_t count, float min, float max) {
  std::vector<float> out;
  if (count <= 0) return out;
  if (count == 1) return {min};
  const float step = (max - min) / static_cast<float>(count - 1);
  for (std::int32_t i = 0; i < count; ++i) out.push_back(min + static_cast<float>(i) * step);
  return out;
}

std::string HistogramGridCsv(const ADXHistogram& histogram, int kind) {
  const std::vector<float> columns = AxisBreakpoints(histogram.cols, histogram.xmin, histogram.xmax);
  const std::vector<float> rows = AxisBreakpoints(histogram.rows, histogram.ymin, histogram.ymax);
  std::string out;
  for (float c : columns) out += "," + ShortestFloatText(c);
  out += "\r\n";
  char text[64];
  for (std::size_t r = 0; r < rows.size(); ++r) {
    out += ShortestFloatText(rows[r]);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      histogram.GetCellStatistic(kind, static_cast<std::int32_t>(r), static_cast<std::int32_t>(c), text,
                                 sizeof text);
      out += ',';
      out += text;
    }
    out += "\r\n";
  }
  return out;
}
