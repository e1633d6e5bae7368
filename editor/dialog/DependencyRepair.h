#pragma once
// What the editor does to the objects that referred to an object the user
// deleted, and the message it shows about it.
//
// Thread contract: GUI thread, while the editor owns the definition.
#include <string>

class ADXDefinition;
class ADXObject;

struct DependencyRepairResult {
  bool listViewRepaired = false;  // an item list view entry became a separator
  bool manualRemoval = false;     // a value or bitmask still names the object
};

// Suffix appended to the title of a value or bitmask whose equation links to
// the deleted object.
constexpr const char* kBrokenDependencySuffix = " (BROKEN DEPENDENCY!)";
// Text of a list view entry whose item was deleted.
constexpr const char* kRemovedEntryText = "ENTRY DEPENDENCY REMOVED!";

// Repairs every object of the definition that refers to deleted, in list
// order. deleted must already be out of the definition's list and still alive.
// Value or bitmask referrers get kBrokenDependencySuffix on their titles (within
// 255 characters); list view entries become red bold separators; macro steps
// lose their command. Every other non-owning pointer to deleted (dashboard
// gauges, monitor series, histogram axes, a value's lookup table, the header's
// three commands) is cleared so nothing points at the destroyed object.
DependencyRepairResult RepairDependants(ADXDefinition& definition, const ADXObject* deleted);

// "Dependencies on this object were removed." and/or the manual-removal
// sentence; empty when nothing needs saying.
std::string DependencyMessage(const DependencyRepairResult& result);
