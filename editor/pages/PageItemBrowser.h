#pragma once
// A small modal list of the definition's objects of chosen types, by title, from
// which the pages pick references (macro commands, linked values, histogram
// axes, list-view items).
//
// Thread contract: GUI thread only.
#include <cstdint>
#include <vector>

class ADXDefinition;
class ADXObject;
class QWidget;

// Lists every object whose type shares a bit with mask, in definition order.
// 1 when confirmed (chosen receives the selected objects in list order, possibly
// none), 0 when cancelled. A double click confirms.
int RunPageItemBrowser(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask, bool single,
                       std::vector<ADXObject*>* chosen);
