#pragma once
// The demo ECU definition (examples/demo-ecu.adx) built in code: the example
// file is this definition as the saver writes it.
class ADXDefinition;

void BuildDemoEcuDefinition(ADXDefinition& def);
