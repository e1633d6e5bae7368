#pragma once
// Makes a display control from its class-name text, as a dashboard names its
// gauge type. Class names compare without regard to case.
//
// Thread contract: GUI thread only.
#include <QWidget>

#include <string>

// A new control parented to `parent`, or nullptr for an unknown class name.
QWidget* QvCreateGauge(const std::string& className, QWidget* parent, int controlId = 0);
// True when QvCreateGauge knows the class name.
bool QvIsGaugeClass(const std::string& className);
// The class name of a dashboard entry's gauge type: 0 analog gauge, 1 digital
// readout, 2 status gauge; nullptr for any other type (no window).
const char* QvGaugeClassForType(int gaugeType);
