#pragma once
// Definitions built in code for the ADX file tests, the load benchmark and
// the fuzz corpus.
#include <cstdint>

class ADXDefinition;

// Every object class once (twice for values and lookup tables), with every
// field set to something other than its default, and every kind of reference.
void BuildFullDefinition(ADXDefinition& def);

// A realistic definition of about `objects` objects: commands, values with
// equations and links, bitmasks, lookup tables and views.
void BuildLargeDefinition(ADXDefinition& def, int objects);
