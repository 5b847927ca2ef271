// Test seam: makes one step of the input start report failure without
// running it, so that tests reach the failure paths that a working
// DirectInput never takes.
#ifndef VEXLO_INPUT_INPUT_START_FAULTS_H
#define VEXLO_INPUT_INPUT_START_FAULTS_H

enum class InputStartStep {
    None,
    CreateObject,         // CoCreateInstance of the DirectInput object
    InitializeObject,     // its Initialize
    KeyboardDevice,       // creating the system keyboard device
    KeyboardFormat,       // its data format
    KeyboardCooperation,  // its cooperative level
    KeyboardBufferSize,   // its buffer-size property
    KeyboardNotification, // its notification event
    KeyboardAcquire,      // both acquire attempts
};

void SetFailingInputStartStep(InputStartStep step);

#endif
