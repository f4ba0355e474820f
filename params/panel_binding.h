// One-shot binding of the eighteen parameters to their panel controls.
#pragma once

namespace kervano {

void GetPanelValues();
void SetPanelValues();
// Lights the target button that names target and turns the other two off, so the panel
// never shows a target other than the one Send and Get will use.
void ShowTarget();

// The panel control of parameter index (kParameterTable order).
int ParameterControl(int index);
// The eighteen fields as they stand, in kParameterTable order, without touching the
// variables; and the reverse, putting values on the fields only.
void ReadPanelFields(unsigned short* values);
void WritePanelFields(const unsigned short* values);

}  // namespace kervano
