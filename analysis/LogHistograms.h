// The histograms of a definition accumulated from a log, or a time range of
// it, in one pass: exactly the samples that playing the log through the
// histogram pane adds. For each record in order the definition takes the
// record's raw values; a record in range then adds a sample to every
// histogram bound to no command or to the record's command.
//
// Thread contract: FillHistograms replays the binding's definition and writes
// the histograms' data (under their own locks); one thread at a time per
// definition.
#pragma once

#include <string>
#include <vector>

#include "analysis/LogStatistics.h"

class ADXHistogram;

// The histograms of a definition, in definition order.
std::vector<ADXHistogram*> DefinitionHistograms(const ADXDefinition& definition);

// Clears each histogram's data, then accumulates the records in range.
void FillHistograms(const LogBinding& binding, const std::vector<ADXHistogram*>& histograms,
                    const TimeRange& range);

// The breakpoints of an axis: count equally spaced numbers from min to max
// (one number, min, for a count of 1), as the histogram's axis table holds them.
std::vector<float> AxisBreakpoints(std::int32_t count, float min, float max);

// The histogram as a CSV grid: a first row of an empty cell and the column
// breakpoints, then per row its breakpoint and the cells' statistic of the
// kind, as the histogram writes it (empty where not available).
std::string HistogramGridCsv(const ADXHistogram& histogram, int kind);
