// The target buttons and the Send and Get commands.
#pragma once

namespace kervano {

// Send's two frames to target (RAM or EEPROM), from the variables as they stand. Returns 1
// when both went out whole, 0 otherwise (the status line then says what was lost).
int SendParaToController();

// The file halves of Send and Get, whatever target is selected: the file dialog, the file
// routine and their status texts, which end naming the file. Send and Get run them for the
// File target; the File menu runs them directly. Saving returns true when the file was
// written; loading first asks before unsent changes are replaced.
bool SaveParameterFile();
void LoadParameterFile();

int CC_RBTRam(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
int CC_RBTEeprom(int panel, int control, int event, void* callbackData, int eventData1,
                 int eventData2);
int CC_RBTFile(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int CC_BTNSend(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int CC_BTNGet(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);

}  // namespace kervano
