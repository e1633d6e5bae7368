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
